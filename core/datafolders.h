#pragma once

// The names of the working folder: the folders under "data/" where the
// program keeps what it downloads, the file of marked codes beside the
// histories, the stock pool's entry in the resource archive (which keeps its
// files under a folder of the same name), and the settings, the stock list,
// the reports, the hot-stock list and the log beside them. Every path into
// them is built from these names. The start-up makes and tidies the folders
// before any source runs, so the names live here, below everything;
// datasource/storedhistory reads and writes the files under "data/" through
// them.

// The daily histories (480 days, forward adjusted), one file a stock named by
// its code; the scans read every file of the folder.
constexpr char kHistoryFolder[] = "data/";
// The K-line window's last download of a stock.
constexpr char kKLineFolder[] = "data/k/";
// The data update dialog's daily downloads.
constexpr char kDownloadFolder[] = "data/dl/";
// Company profiles, read when present, never written.
constexpr char kProfileFolder[] = "data/data/";
// The codes the smart-comment scan found without history or priced too low,
// which the call-auction page leaves out.
constexpr char kMarkedCodesFile[] = "data/none";

// The codes of the stock pool, one a line, in the resource archive.
constexpr char kPoolArchiveEntry[] = "data/stockPool.txt";

// The settings file, read at start and written whole at exit, in its folder
// beside the stock list the build puts there (read only).
constexpr char kSettingsFolder[] = "config/";
constexpr char kSettingsFile[] = "config/config.ini";
constexpr char kShareListFile[] = "config/data.db";

// The back-test reports and the exported smart-comment lists, CSV files.
constexpr char kOutputFolder[] = "output/";

// The hot-stock Fibonacci page's codes of its last finished scan.
constexpr char kListFile[] = "list";

// The log, appended to by the message handler.
constexpr char kLogFile[] = "output.txt";
