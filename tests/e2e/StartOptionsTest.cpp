// The real program started with command lines as a user types them: the port it binds.
#include "e2e/RunningProgram.h"
#include "support/TestSupport.h"

#include <string>

namespace {

struct TPortCase {
  const char* name;
  const wchar_t* arguments;
  int port;  // 0: a port the system chose
};

class StartOptions : public ::testing::TestWithParam<TPortCase> {};

TEST_P(StartOptions, BindThePortTheCommandLineNames) {
  const TPortCase& c = GetParam();
  TRunningProgram program(c.arguments);
  HWND main = program.MainWindow();
  ASSERT_NE(main, nullptr);
  // The button shows the bound port, caption and title the port asked for.
  const std::wstring caption = WindowText(main);
  const std::wstring prefix = L"Zevrik Tavrino    Port ";
  ASSERT_TRUE(caption.starts_with(prefix)) << testing::PrintToString(caption);
  EXPECT_EQ(caption.substr(prefix.size()), std::to_wstring(c.port));
  EXPECT_EQ(WindowText(program.ApplicationWindow()), L"Tavrino " + std::to_wstring(c.port));
  if (c.port != 0) {
    EXPECT_TRUE(program.Button(std::to_wstring(c.port)));
  } else {
    // The system's choice: a port number other than 0.
    const TToolButtonSeen port = program.PortButton();
    ASSERT_TRUE(port);
    EXPECT_GT(std::stoi(port.Name()), 0);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Program, StartOptions,
    ::testing::Values(TPortCase{"NoOption", L"", 6702}, TPortCase{"LowerCaseP", L"/p:7000", 7000},
                      TPortCase{"UpperCasePort", L"/PORT:7000", 7000},
                      TPortCase{"PortWinsAfterP", L"/P:7000 /Port:8000", 8000},
                      TPortCase{"PortWinsBeforeP", L"/Port:8000 /P:7000", 8000},
                      TPortCase{"Hexadecimal", L"/P:$1B58", 7000}, TPortCase{"NotANumber", L"/P:abc", 6702},
                      TPortCase{"NoColon", L"/P", 6702}, TPortCase{"SpaceInsteadOfColon", L"/P 7000", 6702},
                      TPortCase{"DashIsNoOption", L"-P:7000", 6702}, TPortCase{"UnknownOption", L"/X:7000", 6702},
                      TPortCase{"SystemChooses", L"/P:0", 0}),
    TCaseName());

}  // namespace
