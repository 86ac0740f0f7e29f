// FolderReader on Windows: one find query over the folder, each entry's facts from the query
// itself (a link's from what it leads to).

#include <windows.h>

#include <memory>
#include <utility>

#include "platform/file_system.h"
#include "platform/win32/folder_listing.h"
#include "platform/win32/handles.h"
#include "platform/win32/wide.h"
#include "platform/win32/win_facts.h"
#include "platform/win32/win_path.h"

namespace folvane {

namespace {

FolderListing* ListingOf(void* handle) {
    return static_cast<FolderListing*>(handle);
}

}  // namespace

FolderReader::FolderReader(FolderReader&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}

FolderReader& FolderReader::operator=(FolderReader&& other) noexcept {
    if (this != &other) {
        Close();
        handle_ = std::exchange(other.handle_, nullptr);
    }
    return *this;
}

FolderReader::~FolderReader() {
    Close();
}

bool FolderReader::Open(std::string_view path) {
    Close();
    const auto extended = ExtendedPathOf(path);
    if (!extended) return false;
    auto listing = std::make_unique<FolderListing>();
    if (!listing->Open(*extended)) return false;
    handle_ = listing.release();
    return true;
}

bool FolderReader::Next(FolderItem& item) {
    FolderListing* listing = ListingOf(handle_);
    return listing != nullptr && listing->Next(item);
}

bool FolderReader::Close() {
    std::unique_ptr<FolderListing> listing(ListingOf(std::exchange(handle_, nullptr)));
    return listing != nullptr && listing->Close();
}

}  // namespace folvane
