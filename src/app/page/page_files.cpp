#include "page_files.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <set>
#include <stdexcept>
#include <system_error>
#include <vector>

#include "engine/core/atomic_file.h"

namespace app {
namespace {

std::filesystem::path ToPath(const QString& path) {
    return std::filesystem::path(path.toStdString());
}

}  // namespace

PageFiles::PageFiles(QString sourceRoot) : sourceRoot_(std::move(sourceRoot)) {}

bool PageFiles::EnsureFolder() {
    if (folder_ && folder_->isValid()) {
        return true;
    }
    folder_ = std::make_unique<QTemporaryDir>(QDir::tempPath() +
                                              QStringLiteral("/vantorel-pages-XXXXXX"));
    return folder_->isValid();
}

std::filesystem::path PageFiles::Folder() const {
    return folder_ && folder_->isValid() ? ToPath(folder_->path()) : std::filesystem::path();
}

void PageFiles::DeleteMapAPIFile(bool deleteAll) {
    if (Folder().empty()) {
        return;
    }
    for (const auto& page : {GoogleMapHtml(), BaiduMapHtml()}) {
        std::error_code error;
        std::filesystem::remove(page, error);
        if (error) {
            throw std::runtime_error("cannot delete " + page.string() + ": " + error.message());
        }
    }
    if (deleteAll) {
        std::error_code error;
        std::filesystem::remove_all(MapFilesDir(), error);
    }
}

void PageFiles::RemoveAllBut(const std::set<std::filesystem::path>& kept) {
    std::vector<std::filesystem::path> stale;
    std::error_code error;
    for (auto it = std::filesystem::recursive_directory_iterator(Folder(), error);
         !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
        if (!it->is_directory(error) && !kept.contains(it->path())) {
            stale.push_back(it->path());
        }
    }
    for (const auto& file : stale) {
        std::filesystem::remove(file, error);
    }
}

bool PageFiles::Unpack() {
    try {
        if (!EnsureFolder()) {
            return false;
        }
        // Each file is replaced whole, never deleted first: a page shown or loading from
        // the folder meanwhile reads the old file or the new one, never a missing one.
        const QDir source(sourceRoot_);
        QDirIterator it(sourceRoot_, QDir::Files, QDirIterator::Subdirectories);
        std::set<std::filesystem::path> copied;
        while (it.hasNext()) {
            const QString from = it.next();
            const std::filesystem::path to = Folder() / ToPath(source.relativeFilePath(from));
            QFile file(from);
            if (!file.open(QIODevice::ReadOnly)) {
                return false;
            }
            const QByteArray bytes = file.readAll();
            std::filesystem::create_directories(to.parent_path());
            if (!engine::WriteFileAtomic(to, std::string_view(bytes.constData(), bytes.size()))) {
                return false;
            }
            copied.insert(to);
        }
        RemoveAllBut(copied);
        return !copied.empty();
    } catch (const std::exception&) {
        return false;  // a missing page is unpacked again at the next load
    }
}

}  // namespace app
