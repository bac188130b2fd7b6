#include "raster/dataset.h"

#include <cpl_error.h>
#include <cpl_string.h>

#include <utility>

namespace raster {

Dataset::Dataset(Dataset&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}

Dataset& Dataset::operator=(Dataset&& other) noexcept {
    if (this != &other) {
        Close();
        handle_ = std::exchange(other.handle_, nullptr);
    }
    return *this;
}

int Dataset::Width() const {
    return handle_ != nullptr ? GDALGetRasterXSize(handle_) : 0;
}

int Dataset::Height() const {
    return handle_ != nullptr ? GDALGetRasterYSize(handle_) : 0;
}

int Dataset::BandCount() const {
    return handle_ != nullptr ? GDALGetRasterCount(handle_) : 0;
}

bool Dataset::Close(std::string* error) {
    if (handle_ == nullptr) {
        return true;
    }
    CPLErrorReset();
    GDALFlushCache(handle_);
    GDALClose(std::exchange(handle_, nullptr));
    if (CPLGetLastErrorType() >= CE_Failure) {
        if (error != nullptr) {
            *error = LastGdalError("cannot write the image");
        }
        return false;
    }
    return true;
}

OptionList::~OptionList() {
    CSLDestroy(list_);
}

OptionList::OptionList(OptionList&& other) noexcept : list_(std::exchange(other.list_, nullptr)) {}

OptionList& OptionList::operator=(OptionList&& other) noexcept {
    if (this != &other) {
        CSLDestroy(list_);
        list_ = std::exchange(other.list_, nullptr);
    }
    return *this;
}

OptionList& OptionList::Set(std::string_view name, std::string_view value) {
    list_ = CSLSetNameValue(list_, std::string(name).c_str(), std::string(value).c_str());
    return *this;
}

std::string OptionList::Get(std::string_view name) const {
    const char* value = CSLFetchNameValue(list_, std::string(name).c_str());
    return value != nullptr ? value : "";
}

int OptionList::Count() const {
    return CSLCount(list_);
}

std::string LastGdalError(std::string_view fallback) {
    const char* message = CPLGetLastErrorMsg();
    if (message != nullptr && *message != '\0') {
        return message;
    }
    return std::string(fallback);
}

}  // namespace raster
