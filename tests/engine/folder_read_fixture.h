#pragma once
// A folder of the test's own and the rig that reads it, for the folder-reading tests of every host.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/folder_read.h"
#include "tests/engine/golden_support.h"
#include "tests/support/temp_dir.h"

namespace folvane {

using Names = std::vector<std::string>;

class FolderReadTest : public ::testing::Test {
  protected:
    std::string Folder() const { return dir.path() + "\\"; }

    // What describe makes of each entry ReadFolder delivers, sorted.
    Names Listed(std::string (*describe)(const FileEntry&) = [](const FileEntry& e) { return e.Name; }) {
        Names names;
        for (const auto& entry : ReadFolder(rig.context, Folder()))
            names.push_back(describe(entry.record));
        std::sort(names.begin(), names.end());
        return names;
    }

    testing::ListingRig rig;
    testing::TempDir dir;
};

}  // namespace folvane
