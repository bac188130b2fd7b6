#pragma once
// The place tree's text (china_citydata.txt, installed with the program): one node per line,
// its depth given by leading tabs, UTF-8 with or without a byte-order mark, CR LF or LF.
#include <QByteArray>
#include <QString>
#include <filesystem>
#include <vector>

namespace app {

inline constexpr const char* kCityDataFile = "china_citydata.txt";

struct CityNode {
    QString text;
    int parent = -1;  // index of the parent node; -1 for a root
    int level = 0;    // 0 for a root
};

// Nodes in file order (a parent always comes before its children). A line deeper than one
// level below the line before it hangs under that line; empty lines are skipped.
std::vector<CityNode> ParseCityTree(const QByteArray& bytes);

// Image of a node: 0 a place with sub-places, 1 a leaf, 2 a district (its text ends in "区",
// or "区" stands just before its first "(").
int CityImage(const QString& text, bool hasParent, bool hasChildren);

// The installed file; empty when it is missing.
std::filesystem::path CityDataFile();

}  // namespace app
