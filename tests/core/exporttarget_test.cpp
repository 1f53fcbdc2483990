#include "core/export/exporttarget.h"
#include "tests/support/tempdir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace {

TEST(ExportTarget, NeverARecordFileHoweverItIsNamedAndNeverTheDataDirectory) {
    TempDir home;
    const std::string data = home.path() + "DataRec/";
    ASSERT_EQ(::mkdir(data.c_str(), 0700), 0);
    ASSERT_EQ(::mkdir((home.path() + "Sync").c_str(), 0700), 0);
    home.write("DataRec/u.rec", "ledger");
    home.write("Sync/v.rec", "synced ledger");
    ASSERT_EQ(::symlink("../Sync/v.rec", (data + "v.rec").c_str()), 0); // a ledger kept behind a link
    ASSERT_EQ(::symlink((data + "u.rec").c_str(), (home.path() + "shortcut.txt").c_str()), 0);
    ASSERT_EQ(::link((data + "u.rec").c_str(), (home.path() + "hard.cct").c_str()), 0);
    home.write("old.txt", "an old report");
    home.write("elsewhere.rec", "a ledger of no data directory");

    struct Case {
        const char* name;
        std::string target;
        std::optional<ExportRefusal> refusal;
    };
    const std::optional<ExportRefusal> record = ExportRefusal::RecordFile, inside = ExportRefusal::InsideDataDirectory;
    const Case cases[] = {
        {"own_ledger", data + "u.rec", inside},
        {"another_spelling", home.path() + "Sync/../DataRec/./u.rec", inside},
        {"new_file_in_the_data_directory", data + "report.txt", inside},
        {"folder_below_it", data + "books/report.xlsx", inside},
        {"symlink_to_a_ledger", home.path() + "shortcut.txt", inside},
        {"synced_target_of_a_linked_ledger", home.path() + "Sync/v.rec", record},
        {"hard_link_of_a_ledger", home.path() + "hard.cct", record},
        {"new_file", home.path() + "report.txt", std::nullopt},
        {"old_report", home.path() + "old.txt", std::nullopt},
        {"record_file_named_by_the_caller", home.path() + "elsewhere.rec", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(refuseExportTarget(c.target, {data}), c.refusal) << c.name;

    // Record files named beside the data directories count whatever their name, in any spelling.
    EXPECT_EQ(refuseExportTarget(home.path() + "elsewhere.rec", {data}, {home.path() + "elsewhere.rec"}), record);
    const std::string workingDir = std::filesystem::current_path().string();
    ASSERT_EQ(::chdir(home.path().c_str()), 0);
    EXPECT_EQ(refuseExportTarget("./elsewhere.rec", {}, {home.path() + "elsewhere.rec"}), record);
    EXPECT_EQ(refuseExportTarget("old.txt", {""}, recordFilesIn(home.path())), std::nullopt);
    ASSERT_EQ(::chdir(workingDir.c_str()), 0);
}

} // namespace
