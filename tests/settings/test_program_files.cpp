#include "settings/program_files.h"

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

namespace folvane {
namespace {

using testing::TempDir;

TEST(ProgramFiles, AnInstalledProgramsDataIsTheShareFolderOfItsPrefix) {
    TempDir dir;
    dir.MakeFolder("usr/bin");
    dir.MakeFolder("usr/share/folvane/basehtml");
    dir.MakeFolder("opt/bin");
    dir.WriteFile("opt/share/folvane/basehtml");  // a file is no template folder
    dir.MakeFolder("home/.local/bin");
    dir.WriteFile("home/.local/share/folvane/registry.ini");  // the user's data, no installation
    dir.MakeFolder("build/app/console");
    const std::string usrData = dir.path("usr/share/folvane") + "\\";
    const std::pair<std::string, std::string> cases[] = {
        {dir.path("usr/bin"), usrData},
        {dir.path("usr/bin") + "\\", usrData},
        {dir.path("opt/bin"), ""},
        {dir.path("home/.local/bin"), ""},
        {dir.path("build/app/console"), ""},
        {"Z:\\", ""},  // no prefix above a drive root
        {"Z:", ""},
        {"bin", ""},
        {"", ""},
    };
    for (const auto& [executableFolder, data] : cases)
        EXPECT_EQ(InstalledDataFolder(executableFolder), data) << executableFolder;
}

}  // namespace
}  // namespace folvane
