// The README's table of roads is what the installer does: for every outcome of a run, the row
// named by its last log line gives the quiet exit code and the text of the interactive box.

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "Common/tool.h"
#include "engine/SetupOutcome.h"
#include "windows/SetupWindowObserver.h"

namespace {

struct Road {
  std::string box;
  std::string exitCode;
};

// The rows of the table whose header starts with "| the log's last line", by their first cell.
std::map<std::string, Road> ReadmeRoads() {
  std::ifstream readme(QUILL_SOURCE_ROOT "/README.md");
  std::map<std::string, Road> roads;
  std::string line;
  bool inTable = false;
  while (std::getline(readme, line)) {
    const size_t start = line.find_first_not_of(' ');
    if (start == std::string::npos || line[start] != '|') {
      inTable = false;
      continue;
    }
    if (line.find("| the log's last line") != std::string::npos) {
      inTable = true;
      continue;
    }
    if (!inTable || line.find("---") != std::string::npos) continue;
    std::vector<std::string> cells;
    std::stringstream row(line.substr(start + 1));
    std::string cell;
    while (std::getline(row, cell, '|')) cells.push_back(setup::TrimmedText(cell));
    if (cells.size() >= 3) roads[cells[0]] = {cells[1], cells[2]};
  }
  return roads;
}

}  // namespace

TEST(OutcomeTable, EveryRoadOfTheReadmeIsWhatTheRunDoes) {
  const std::map<std::string, Road> roads = ReadmeRoads();
  ASSERT_FALSE(roads.empty()) << "no table of roads in the README";
  size_t outcomes = 0;
  for (int value = 0;; ++value) {
    const auto outcome = static_cast<setup::SetupOutcome>(value);
    const std::string words = setup::DescribeOutcome(outcome);
    if (words == "unknown") break;
    ++outcomes;
    const auto road = roads.find(words);
    ASSERT_NE(road, roads.end()) << "no row for \"" << words << "\"";
    EXPECT_EQ(road->second.exitCode, std::to_string(setup::OutcomeExitCode(outcome))) << words;
    const UINT text = setup::OutcomeStringId(outcome);
    if (text == 0) {
      EXPECT_EQ(road->second.box.compare(0, 4, "none"), 0) << words;
      continue;
    }
    // A text formatted with what the run found ends where its first argument goes.
    std::string shown = setup::Utf8Text(setup::LoadStringResource(GetModuleHandleW(nullptr), text));
    shown = shown.substr(0, shown.find('%'));
    ASSERT_FALSE(shown.empty()) << words;
    EXPECT_EQ(road->second.box.compare(0, shown.size(), shown), 0) << words << ": " << road->second.box;
  }
  EXPECT_EQ(roads.size(), outcomes) << "a row of the README names no outcome";
}
