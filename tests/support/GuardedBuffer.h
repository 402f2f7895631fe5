// A caller buffer that catches overruns: its last character touches a page
// with no access, so a write past the capacity crashes the test, and the
// bytes before it are canaries checked afterwards.
#pragma once

#include <cstddef>
#include <string>

namespace testing_support {

class GuardedBuffer {
public:
    static constexpr wchar_t kFill = L'\xA5A5';

    explicit GuardedBuffer(std::size_t capacity);
    ~GuardedBuffer();
    GuardedBuffer(const GuardedBuffer&) = delete;
    GuardedBuffer& operator=(const GuardedBuffer&) = delete;

    wchar_t* data() { return begin_; }
    std::size_t capacity() const { return capacity_; }

    // The text up to the first NUL, or all characters if there is none.
    std::wstring text() const;
    // True while every character still holds kFill.
    bool untouched() const;
    // True while nothing before the buffer was written.
    bool canariesIntact() const;
    // Puts `text` and its NUL at the start (must fit) and kFill after it.
    void preset(const std::wstring& text);

private:
    unsigned char* base_ = nullptr;
    std::size_t reserved_ = 0;
    wchar_t* begin_ = nullptr;
    std::size_t capacity_ = 0;
};

}  // namespace testing_support
