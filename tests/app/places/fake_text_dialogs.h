#pragma once
// The save dialog with the coordinate-type row, answered by the test.
#include <vector>

#include "app/tools/text_file_dialog.h"

namespace testplaces {

class FakeTextDialogs final : public geodata_ui::ITextFileDialogs {
  public:
    std::vector<geodata_ui::TextFileRequest> shown;  // as the caller set them up
    QString file;                                    // empty: cancelled
    int filterIndex = 0;                             // 0 keeps the caller's
    int encodingIndex = -1;                          // -1 keeps the caller's

    bool ExecuteSave(geodata_ui::TextFileRequest& request) override {
        shown.push_back(request);
        if (filterIndex > 0) {
            request.filterIndex = filterIndex;
        }
        if (encodingIndex >= 0) {
            request.encodingIndex = encodingIndex;
        }
        if (file.isEmpty()) {
            return false;
        }
        request.fileName = file;
        return true;
    }
};

}  // namespace testplaces
