#include "GuardedBuffer.h"

#include <stdexcept>

#include <windows.h>

namespace testing_support {

namespace {
constexpr unsigned char kCanary = 0xCD;

std::size_t PageSize() {
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    return info.dwPageSize;
}
}  // namespace

GuardedBuffer::GuardedBuffer(std::size_t capacity) : capacity_(capacity) {
    const std::size_t page = PageSize();
    const std::size_t bytes = capacity * sizeof(wchar_t);
    const std::size_t usable = (bytes / page + 1) * page;  // at least one canary byte
    reserved_ = usable + page;
    base_ = static_cast<unsigned char*>(
        VirtualAlloc(nullptr, reserved_, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    if (!base_) throw std::runtime_error("VirtualAlloc failed");
    DWORD old;
    if (!VirtualProtect(base_ + usable, page, PAGE_NOACCESS, &old))
        throw std::runtime_error("VirtualProtect failed");
    begin_ = reinterpret_cast<wchar_t*>(base_ + usable - bytes);
    for (unsigned char* p = base_; p < reinterpret_cast<unsigned char*>(begin_); ++p) *p = kCanary;
    for (std::size_t i = 0; i < capacity_; ++i) begin_[i] = kFill;
}

GuardedBuffer::~GuardedBuffer() { VirtualFree(base_, 0, MEM_RELEASE); }

std::wstring GuardedBuffer::text() const {
    std::size_t n = 0;
    while (n < capacity_ && begin_[n] != L'\0') ++n;
    return std::wstring(begin_, n);
}

bool GuardedBuffer::untouched() const {
    for (std::size_t i = 0; i < capacity_; ++i)
        if (begin_[i] != kFill) return false;
    return true;
}

bool GuardedBuffer::canariesIntact() const {
    for (const unsigned char* p = base_; p < reinterpret_cast<const unsigned char*>(begin_); ++p)
        if (*p != kCanary) return false;
    return true;
}

void GuardedBuffer::preset(const std::wstring& text) {
    if (text.size() >= capacity_) throw std::logic_error("preset text does not fit");
    for (std::size_t i = 0; i < capacity_; ++i) begin_[i] = kFill;
    text.copy(begin_, text.size());
    begin_[text.size()] = L'\0';
}

}  // namespace testing_support
