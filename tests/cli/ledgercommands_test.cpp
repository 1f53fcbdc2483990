#include "cli/ledgercommands.h"
#include "tests/support/child.h"
#include "tests/support/tempdir.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdlib>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct CommandRun {
    int status;
    std::string out;
    std::string err;
};

CommandRun run(std::vector<std::string> args, const std::string& input = "") {
    std::istringstream in(input);
    std::ostringstream out, err;
    const int status = runLedgerCommand(args, in, out, err);
    return {status, out.str(), err.str()};
}

const char* RECORDS = R"({"records": [
  {"id": 7, "kind": 1, "year": 2026, "month": 12, "day": 9, "item": "早饭", "amount": "12.5", "note": "豆浆油条"},
  {"id": 3, "kind": 3, "year": 2026, "month": 1, "day": 2, "item": "老王", "quantity": "1", "amount": "500",
   "writtenOff": "100", "note": ""}
]})";

TEST(Mzledger, BuildThenDumpShowsRecordsAsLoaded) {
    TempDir dir;
    const std::string file = dir.path() + "u.rec";
    ASSERT_EQ(run({"build", file, "--user", "张三", "--password", "密码"}, RECORDS).status, 0);

    const CommandRun dumped = run({"dump", file, "--password", "密码"});
    ASSERT_EQ(dumped.status, 0) << dumped.err;
    const auto json = nlohmann::json::parse(dumped.out);
    EXPECT_EQ(json["version"], 2009.0629);
    EXPECT_EQ(json["user"], "张三");
    ASSERT_EQ(json["records"].size(), 2u);
    EXPECT_EQ(json["records"][0]["id"], 1);
    EXPECT_EQ(json["records"][0]["item"], "早饭");
    EXPECT_EQ(json["records"][0]["amount"], "12.50");
    EXPECT_EQ(json["records"][0]["quantity"], "1.00");
    EXPECT_EQ(json["records"][1]["id"], 2);
    EXPECT_EQ(json["records"][1]["writtenOff"], "100.00");

    ASSERT_EQ(run({"build", file, "--user", "张三", "--password", "密码", "--format", "1.x"}, RECORDS).status, 0);
    const auto legacy = nlohmann::json::parse(run({"dump", file, "--password", "密码"}).out);
    EXPECT_EQ(legacy["version"], 2007.1028);
    EXPECT_EQ(legacy["records"][1]["writtenOff"], "0.00");
}

TEST(Mzledger, DumpReportsWrongPasswordAndDamage) {
    TempDir dir;
    const std::string file = dir.path() + "u.rec";
    ASSERT_EQ(run({"build", file, "--user", "u", "--password", "pw"}, RECORDS).status, 0);

    const CommandRun wrong = run({"dump", file, "--password", "PW"});
    EXPECT_EQ(wrong.status, 2);
    EXPECT_NE(wrong.err.find("wrong password"), std::string::npos);

    std::string bytes = dir.read("u.rec");
    dir.write("cut.rec", bytes.substr(0, bytes.size() - 10));
    const CommandRun damaged = run({"dump", dir.path() + "cut.rec", "--password", "pw"});
    EXPECT_EQ(damaged.status, 1);
    EXPECT_NE(damaged.err.find("damaged"), std::string::npos);

    EXPECT_EQ(run({"dump", dir.path() + "missing.rec", "--password", "pw"}).status, 1);
}

TEST(Mzledger, BadBuildInputWritesNothing) {
    TempDir dir;
    const std::string file = dir.path() + "u.rec";
    const std::pair<const char*, std::string> cases[] = {
        {"invalid_json", "{\"records\": ["},
        {"missing_amount", R"({"records": [{"id": 1, "kind": 1, "year": 2026, "month": 1, "day": 1, "item": "x"}]})"},
        {"not_gbk", R"({"records": [{"id": 1, "kind": 1, "year": 2026, "month": 1, "day": 1, "item": "😀",
                        "amount": "1"}]})"},
        {"kind_out_of_range", R"({"records": [{"id": 1, "kind": 70000, "year": 2026, "month": 1, "day": 1,
                                  "item": "x", "amount": "1"}]})"},
        {"no_records", "[]"},
    };
    for (const auto& [name, input] : cases) {
        const CommandRun result = run({"build", file, "--user", "u", "--password", "pw"}, input);
        EXPECT_EQ(result.status, 1) << name;
        EXPECT_FALSE(result.err.empty()) << name;
        EXPECT_FALSE(dir.exists("u.rec")) << name;
    }
    EXPECT_EQ(run({"build", file, "--user", "😀", "--password", "pw"}, RECORDS).status, 1);
    EXPECT_EQ(run({"build", file, "--password", "pw"}, RECORDS).status, 1);
    EXPECT_FALSE(dir.exists("u.rec"));
}

TEST(Mzledger, ListFilesRoundTrip) {
    TempDir dir;
    const std::string file = dir.path() + "u.lio";
    ASSERT_EQ(run({"list-build", file}, R"(["早饭", "", "交通"])").status, 0);
    const CommandRun dumped = run({"list-dump", file});
    ASSERT_EQ(dumped.status, 0);
    EXPECT_EQ(nlohmann::json::parse(dumped.out), nlohmann::json::parse(R"(["早饭", "", "交通"])"));
    EXPECT_EQ(run({"list-build", dir.path() + "x.lio"}, R"(["😀"])").status, 1);
    EXPECT_FALSE(dir.exists("x.lio"));
}

TEST(Mzledger, HelpAndUnknownCommands) {
    const CommandRun help = run({"--help"});
    EXPECT_EQ(help.status, 0);
    for (const char* command : {"dump", "build", "list-dump", "page", "stats", "report", "workbook", "history"})
        EXPECT_NE(help.out.find(command), std::string::npos) << command;
    const CommandRun reportHelp = run({"report", "--help"}); // every command has its own
    EXPECT_EQ(reportHelp.status, 0);
    EXPECT_NE(reportHelp.out.find("--format"), std::string::npos);
    EXPECT_EQ(run({"frobnicate"}).status, 1);
    EXPECT_EQ(run({}).status, 1);
    const CommandRun unknown = run({"dump", "x.rec", "--password", "pw", "--colour", "red"});
    EXPECT_EQ(unknown.status, 1);
    EXPECT_NE(unknown.err.find("--colour"), std::string::npos) << unknown.err;
}

TEST(Mzledger, PageShowsTheWindowsListsAsJson) {
    TempDir dir;
    const std::string file = dir.path() + "u.rec";
    ASSERT_EQ(run({"build", file, "--user", "u", "--password", "pw"}, R"({"records": [
  {"id": 1, "kind": 1, "year": 2026, "month": 12, "day": 9, "item": "早饭", "quantity": "2", "amount": "3.5"},
  {"id": 2, "kind": 2, "year": 2026, "month": 12, "day": 1, "item": "工资", "amount": "8000"},
  {"id": 3, "kind": 3, "year": 2026, "month": 12, "day": 2, "item": "老王", "amount": "500", "writtenOff": "200"}
]})")
                  .status,
              0);
    const auto page = [&](const char* view) {
        const CommandRun result = run({"page", view, file, "--password", "pw", "--date", "2026-12-09"});
        EXPECT_EQ(result.status, 0) << result.err;
        return nlohmann::ordered_json::parse(result.out);
    };
    const auto expense = page("expense");
    EXPECT_EQ(expense["columns"], nlohmann::json::parse(R"(["序号", "类别", "日期", "项目", "金额", "备注"])"));
    EXPECT_EQ(expense["rows"], nlohmann::json::parse(R"([["0", "支出", "2026-12-09", "早饭", "7.00", ""]])"));
    EXPECT_TRUE(expense["fields"].empty());
    EXPECT_TRUE(page("income")["rows"].empty());
    const auto combined = page("combined");
    EXPECT_EQ(combined["rows"].size(), 2u);
    EXPECT_EQ(combined["rows"][0][0], "1");
    EXPECT_EQ(combined["fields"].dump(), R"({"今日支":"7.00","今日收":"0.00","本月支":"7.00","本月收":"8000.00"})");
    EXPECT_EQ(page("debt")["fields"].dump(), R"({"本月借出":"300.00","本月借入":"0.00"})");

    struct Bad {
        std::vector<std::string> args;
        int status;
    };
    const Bad bad[] = {
        {{"page", "weekly", file, "--password", "pw", "--date", "2026-12-09"}, 1},
        {{"page", "debt", file, "--password", "pw", "--date", "2026-02-30"}, 1},
        {{"page", "debt", file, "--password", "pw"}, 1},
        {{"page", "debt", file, "--password", "PW", "--date", "2026-12-09"}, 2},
        {{"page", "debt", dir.path() + "none.rec", "--password", "pw", "--date", "2026-12-09"}, 1},
    };
    for (const Bad& b : bad) {
        const CommandRun result = run(b.args);
        EXPECT_EQ(result.status, b.status) << b.args[1] << " " << b.args.back();
        EXPECT_TRUE(result.out.empty());
        EXPECT_FALSE(result.err.empty());
    }
}

TEST(Mzledger, StatsShowsEveryStatisticsView) {
    TempDir dir;
    const std::string file = dir.path() + "u.rec";
    ASSERT_EQ(run({"build", file, "--user", "u", "--password", "pw"}, R"({"records": [
  {"id": 1, "kind": 1, "year": 2024, "month": 5, "day": 1, "item": "早饭", "quantity": "2", "amount": "3.5"},
  {"id": 2, "kind": 2, "year": 2024, "month": 5, "day": 3, "item": "工资", "amount": "100"},
  {"id": 3, "kind": 3, "year": 2024, "month": 5, "day": 2, "item": "老王", "amount": "100", "writtenOff": "40"}
]})")
                  .status,
              0);
    const auto stats = [&](std::vector<std::string> options) {
        std::vector<std::string> args = {"stats", options.front(), file, "--password", "pw"};
        args.insert(args.end(), options.begin() + 1, options.end());
        const CommandRun result = run(args);
        EXPECT_EQ(result.status, 0) << result.err;
        return nlohmann::ordered_json::parse(result.out.empty() ? "{}" : result.out);
    };
    const std::vector<std::string> may = {"--from", "2024-05-01", "--to", "2024-05-03"};
    auto with = [](std::vector<std::string> a, const std::vector<std::string>& b) {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    };
    const auto period = stats(with({"period", "--layout", "1", "--today", "2024-05-20"}, may));
    EXPECT_EQ(period["rows"].size(), 3u);
    EXPECT_EQ(period["rows"][1], nlohmann::json::parse(R"(["2024-05-02", "0.00", "0.00", "-60.00", "-67.00"])"));
    EXPECT_EQ(period["fields"]["查询天数："], "3");
    EXPECT_EQ(period["fields"]["查询结余："], "33.00");
    EXPECT_EQ(period["fields"]["本月结余："], "33.00");
    EXPECT_EQ(period["fields"]["今日："], "2024-05-20");
    EXPECT_EQ(stats({"period", "--from", "2024-05-01", "--to", "2024-05-03"})["fields"]["借出合计："], "N/A");

    const auto settle = stats({"settle", "--year", "2024"});
    EXPECT_EQ(settle["rows"].size(), 12u);
    EXPECT_EQ(settle["rows"][4][0], "   05月");
    EXPECT_EQ(settle["fields"]["查询天数："], "366");
    EXPECT_EQ(stats({"records", "--row", "   05月", "--year", "2024"})["rows"].size(), 2u); // no debts classic
    EXPECT_EQ(stats({"records", "--row", "2024-05-02", "--layout", "1"})["rows"][0][7], "40.00");

    EXPECT_EQ(stats(with({"daily"}, may))["fields"]["总计："], "93.000");
    EXPECT_EQ(stats(with({"daily-debts"}, may))["rows"].size(), 1u);
    EXPECT_EQ(stats(with({"share-expense"}, may))["rows"][0][2], "100.00");
    EXPECT_EQ(stats(with({"share-income"}, may))["columns"][2], "百分比(%)");
    EXPECT_EQ(stats(with({"query", "--keyword", "饭"}, may))["fields"]["总计："], "-7.000");
    EXPECT_EQ(stats({"debt-query", "--keyword", "老", "--year", "2024"})["fields"]["债务总计："], "-60.000");

    for (const std::vector<std::string>& bad : std::vector<std::vector<std::string>>{
             {"stats", "weekly", file, "--password", "pw"},
             {"stats", "query", file, "--password", "pw", "--keyword", "", "--year", "2024"},
             {"stats", "settle", file, "--password", "pw", "--year", "twenty"},
             {"stats", "period", file, "--password", "pw", "--from", "2024-05-01"},
             {"stats", "period", file, "--password", "pw", "--layout", "2", "--from", "2024-05-01", "--to",
              "2024-05-02"}}) {
        const CommandRun result = run(bad);
        EXPECT_EQ(result.status, 1) << bad[1];
        EXPECT_FALSE(result.err.empty());
    }
}

TEST(Mzledger, ReportWritesTheTextReport) {
    TempDir dir;
    const std::string file = dir.path() + "u.rec";
    ASSERT_EQ(run({"build", file, "--user", "u", "--password", "pw"}, RECORDS).status, 0);
    const std::string out = dir.path() + "r.txt";
    const CommandRun written = run({"report", file, "--password", "pw", "--from", "2026-12-01", "--to", "2026-12-31",
                                    "--format", "II", "--out", out});
    ASSERT_EQ(written.status, 0) << written.err;
    const std::string report = dir.read("r.txt");
    EXPECT_EQ(report.find("2026-12-09"), 198u); // right after the title (80 bytes) and the hyphens, both with CR LF
    EXPECT_EQ(report.substr(report.size() - 2), "\r\n");
    EXPECT_EQ(run({"report", file, "--password", "pw", "--from", "2026-12-01", "--to", "2026-12-31", "--format", "III",
                   "--out", out})
                  .status,
              1);
    EXPECT_EQ(run({"report", file, "--password", "x", "--from", "2026-12-01", "--to", "2026-12-31", "--format", "I",
                   "--out", out})
                  .status,
              2);
}

TEST(Mzledger, ReportsNeverLandOnARecordFile) {
    TempDir dir;
    const std::string file = dir.path() + "u.rec";
    ASSERT_EQ(run({"build", file, "--user", "u", "--password", "pw"}, RECORDS).status, 0);
    ASSERT_EQ(run({"build", dir.path() + "v.rec", "--user", "v", "--password", "pw"}, RECORDS).status, 0);
    ASSERT_EQ(::symlink(file.c_str(), (dir.path() + "link.txt").c_str()), 0);
    const std::string ledger = dir.read("u.rec"), other = dir.read("v.rec");
    for (const char* command : {"report", "workbook"}) {
        for (const std::string& out : {file, dir.path() + "./u.rec", dir.path() + "link.txt", dir.path() + "v.rec"}) {
            const CommandRun refused = run({command, file, "--password", "pw", "--from", "2026-12-01", "--to",
                                            "2026-12-31", "--format", "I", "--out", out});
            EXPECT_EQ(refused.status, 1) << command << " " << out;
            EXPECT_NE(refused.err.find("record file"), std::string::npos) << refused.err;
        }
    }
    EXPECT_EQ(dir.read("u.rec"), ledger); // byte for byte
    EXPECT_EQ(dir.read("v.rec"), other);
}

TEST(Mzledger, ReadersRefuseWhatIsNoFileAndDamagedLists) {
    TempDir dir;
    ASSERT_EQ(::mkfifo((dir.path() + "x.rec").c_str(), 0600), 0);
    const ChildEnd end = runInChild([&] { return run({"dump", dir.path() + "x.rec", "--password", "pw"}).status; });
    EXPECT_FALSE(end.timedOut); // a FIFO is refused, not waited on
    EXPECT_EQ(end.exitCode, 1);
    EXPECT_NE(run({"dump", dir.path() + "x.rec", "--password", "pw"}).err.find("not a regular file"),
              std::string::npos);

    dir.write("random.lio", "\x13\x37\xde\xad\xbe\xef\x01\x02\x03\x04\x05");
    const CommandRun damaged = run({"list-dump", dir.path() + "random.lio"});
    EXPECT_EQ(damaged.status, 1);
    EXPECT_NE(damaged.err.find("damaged"), std::string::npos);
    ASSERT_EQ(run({"list-build", dir.path() + "ok.lio"}, R"(["早饭"])").status, 0);
    EXPECT_EQ(run({"list-dump", dir.path() + "ok.lio"}).status, 0);
}

TEST(Mzledger, BuildOverALinkedLedgerKeepsTheLink) {
    TempDir dir;
    const std::string synced = dir.path() + "synced.rec", link = dir.path() + "u.rec";
    ASSERT_EQ(run({"build", synced, "--user", "u", "--password", "pw"}, R"({"records": []})").status, 0);
    ASSERT_EQ(::symlink(synced.c_str(), link.c_str()), 0);
    ASSERT_EQ(run({"build", link, "--user", "u", "--password", "pw"}, RECORDS).status, 0);
    struct stat info {};
    ASSERT_EQ(::lstat(link.c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    EXPECT_EQ(nlohmann::json::parse(run({"dump", synced, "--password", "pw"}).out)["records"].size(), 2u);
}

TEST(Mzledger, QueriesCheckTheKeywordFirstAndShowItAsTyped) {
    TempDir dir;
    const std::string file = dir.path() + "u.rec";
    ASSERT_EQ(run({"build", file, "--user", "u", "--password", "pw"}, R"({"records": []})").status, 0);
    const CommandRun empty = run({"stats", "query", file, "--password", "pw", "--keyword", "", "--year", "2024"});
    EXPECT_EQ(empty.status, 1);
    EXPECT_NE(empty.err.find("关键字不能为空！"), std::string::npos) << empty.err;

    ASSERT_EQ(run({"build", file, "--user", "u", "--password", "pw"}, RECORDS).status, 0);
    const CommandRun shown = run({"stats", "query", file, "--password", "pw", "--keyword", "早饭😀", "--year", "2026"});
    ASSERT_EQ(shown.status, 0) << shown.err;
    EXPECT_EQ(nlohmann::json::parse(shown.out)["rows"][11][2], "早饭😀");
}

TEST(Mzledger, AmountsThatAreNotFiniteCountAsZero) {
    TempDir dir;
    const std::string file = dir.path() + "u.rec";
    ASSERT_EQ(run({"build", file, "--user", "u", "--password", "pw"}, R"({"records": [
        {"id": 1, "kind": 1, "year": 2026, "month": 12, "day": 9, "item": "a", "amount": "nan"},
        {"id": 2, "kind": 1, "year": 2026, "month": 12, "day": 9, "item": "b", "amount": "1e999"},
        {"id": 3, "kind": 1, "year": 2026, "month": 12, "day": 9, "item": "c", "amount": "2.5"}]})")
                  .status,
              0);
    const auto page =
        nlohmann::json::parse(run({"page", "combined", file, "--password", "pw", "--date", "2026-12-09"}).out);
    EXPECT_EQ(page["fields"]["今日支"], "2.50");
    EXPECT_EQ(page["rows"][0][5], "0.00");
}

TEST(Mzledger, AFileSizeLimitEndsTheCommandWithAMessageNotASignal) {
    TempDir dir;
    std::string records = R"({"records": [)";
    for (int i = 0; i < 300; ++i)
        records += std::string(i ? "," : "") +
                   R"({"id": 1, "kind": 1, "year": 2026, "month": 1, "day": 1, "item": "x", "amount": "1"})";
    records += "]}";
    dir.write("in.json", records);
    const std::string command = "ulimit -f 4; exec " MZLEDGER_PATH " build " + dir.path() +
                                "u.rec --user u --password pw < " + dir.path() + "in.json 2>" + dir.path() + "err";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status)) << "ended by a signal";
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_NE(dir.read("err").find("cannot be written"), std::string::npos);
    EXPECT_FALSE(dir.exists("u.rec.saving"));
}

TEST(Mzledger, EveryBuildIsAVersionThatRestoresByteForByte) {
    TempDir dir;
    const std::string file = dir.path() + "u.rec";
    ASSERT_EQ(run({"build", file, "--user", "u", "--password", "pw"}, R"({"records": []})").status, 0);
    const std::string empty = dir.read("u.rec");
    ASSERT_EQ(run({"build", file, "--user", "u", "--password", "pw"}, RECORDS).status, 0);

    const CommandRun listed = run({"history", file, "--password", "pw"});
    ASSERT_EQ(listed.status, 0) << listed.err;
    const auto versions = nlohmann::json::parse(listed.out)["versions"];
    ASSERT_EQ(versions.size(), 2u);
    EXPECT_EQ(versions[0]["records"], 2); // newest first
    EXPECT_EQ(versions[1]["records"], 0);
    EXPECT_EQ(versions[0]["saved"].get<std::string>().size(), 19u); // YYYY-MM-DD HH:MM:SS

    const std::string id = versions[1]["id"];
    ASSERT_EQ(run({"restore", file, "--password", "pw", "--version", id, "--out", dir.path() + "old.rec"}).status, 0);
    EXPECT_EQ(dir.read("old.rec"), empty);
    EXPECT_EQ(run({"restore", file, "--password", "pw", "--version", id, "--out", file}).status, 1); // never over it
    EXPECT_EQ(
        run({"restore", file, "--password", "pw", "--version", "19990101-000000", "--out", dir.path() + "x"}).status,
        1);
    EXPECT_EQ(run({"history", file, "--password", "PW"}).status, 2);

    // A version cut short is listed with the reason and is never restored.
    const std::string stored = "history/u/" + id + ".zst";
    dir.write(stored, dir.read(stored).substr(0, 20));
    const auto relisted = nlohmann::json::parse(run({"history", file, "--password", "pw"}).out)["versions"];
    ASSERT_EQ(relisted.size(), 2u);
    EXPECT_EQ(relisted[0]["records"], 2);
    EXPECT_TRUE(relisted[1]["records"].is_null());
    EXPECT_EQ(relisted[1]["problem"], "damaged: 文件不完整");
    EXPECT_EQ(run({"restore", file, "--password", "pw", "--version", id, "--out", dir.path() + "torn.rec"}).status, 1);
    EXPECT_FALSE(dir.exists("torn.rec"));
}

} // namespace
