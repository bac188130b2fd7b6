#include "xls_readers.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "support/child_process.h"
#include "support/temp_dir.h"

namespace xlstest {
namespace {

// The result's output, or a failure naming the package when the reader did not succeed.
bool Ran(const testsupport::ChildResult& result, const char* package) {
    if (result.exitCode != 0) {
        ADD_FAILURE() << "the reader of Debian package " << package << " failed: " << result.output
                      << result.errors;
        return false;
    }
    return true;
}

Rows ReadWithXlrd(const std::filesystem::path& file, const std::filesystem::path&) {
    // Numbers as Python writes them; text as it stands.
    const char* script =
        "import sys, json, xlrd\n"
        "sh = xlrd.open_workbook(sys.argv[1]).sheet_by_index(0)\n"
        "print(json.dumps([[v if isinstance(v, str) else repr(v) for v in sh.row_values(r)]"
        " for r in range(sh.nrows)]))\n";
    const auto result =
        testsupport::RunChild({testsupport::SystemPython(), "-c", script, file.string()});
    if (!Ran(result, "python3-xlrd")) {
        return {};
    }
    return nlohmann::json::parse(result.output).get<Rows>();
}

Rows ReadWithLibreOffice(const std::filesystem::path& file, const std::filesystem::path& work) {
    // A private profile, so the run neither needs nor touches the user's.
    const auto result = testsupport::RunChild(
        {"soffice", "-env:UserInstallation=file://" + (work / "profile").string(), "--headless",
         "--convert-to", "csv:Text - txt - csv (StarCalc):44,34,76", "--outdir", work.string(),
         file.string()});
    if (!Ran(result, "libreoffice-calc-nogui")) {
        return {};
    }
    return ParseCsv(testsupport::ReadFileBytes(work / (file.stem().string() + ".csv")));
}

Rows ReadWithGdal(const std::filesystem::path& file, const std::filesystem::path&) {
    const auto result = testsupport::RunChild({"ogr2ogr", "--config", "OGR_XLS_HEADERS", "DISABLE",
                                               "-f", "CSV", "/vsistdout/", file.string()});
    if (!Ran(result, "gdal-bin")) {
        return {};
    }
    Rows rows = ParseCsv(result.output);
    if (!rows.empty()) {
        rows.erase(rows.begin());  // the driver's own column names
    }
    return rows;
}

Rows ReadWithGnumeric(const std::filesystem::path& file, const std::filesystem::path& work) {
    const auto csv = work / "gnumeric.csv";
    const auto result = testsupport::RunChild({"ssconvert", file.string(), csv.string()});
    if (!Ran(result, "gnumeric")) {
        return {};
    }
    // It reads on after some damage, saying so only on its error output.
    EXPECT_EQ(result.errors.find("corrupt"), std::string::npos) << result.errors;
    return ParseCsv(testsupport::ReadFileBytes(csv));
}

}  // namespace

const std::vector<Reader>& Readers() {
    static const std::vector<Reader> readers = {{"xlrd", ReadWithXlrd},
                                                {"LibreOffice", ReadWithLibreOffice},
                                                {"GDAL", ReadWithGdal},
                                                {"Gnumeric", ReadWithGnumeric}};
    return readers;
}

Rows ParseCsv(const std::string& text) {
    Rows rows;
    std::vector<std::string> row;
    std::string field;
    bool quoted = false;
    bool any = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                field += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                field += c;
            }
            continue;
        }
        if (c == '"') {
            quoted = true;
            any = true;
        } else if (c == ',') {
            row.push_back(std::move(field));
            field.clear();
            any = true;
        } else if (c == '\n' || c == '\r') {
            if (any || !field.empty()) {
                row.push_back(std::move(field));
                rows.push_back(std::move(row));
            }
            row.clear();
            field.clear();
            any = false;
        } else {
            field += c;
            any = true;
        }
    }
    if (any || !field.empty()) {
        row.push_back(std::move(field));
        rows.push_back(std::move(row));
    }
    return rows;
}

}  // namespace xlstest
