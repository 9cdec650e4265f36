#include "ProgramRunner.h"

#include <gtest/gtest.h>

TEST(Program, OneSkill)
{
    TScratchDir Dir;
    Dir.Write("skills.xml", "<skills><skill name=\"abc\" useable=\"1\"/></skills>");
    const TRunResult Run = RunProgram(Dir);
    EXPECT_EQ(Run.ExitStatus, 0);
    EXPECT_EQ(Run.Output, BannerText + "abc (Useable: 1\r\n");
    EXPECT_EQ(Dir.Read("skills.idx"), std::string("\0\0\0\0\4\0\0\0ZEB\0", 12));
    EXPECT_EQ(Dir.Read("skills.mul"), "\1abc");
}
