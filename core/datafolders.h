#pragma once

// The names under "data/": the folders of the working folder where the
// program keeps what it downloads, the file of marked codes beside the
// histories, and the stock pool's entry in the resource archive, which keeps
// its files under a folder of the same name. Every path into them is built
// from these names. The start-up makes and tidies the folders before any
// source runs, so the names live here, below everything;
// datasource/storedhistory reads and writes the files through them.

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
