#pragma once
// The text of one record field: raw Windows-1252 bytes. Field texts are
// nearly all short (dates, statuses, grid references), so up to 15 bytes are
// held inside the object itself and only longer texts go to the heap; a full
// file's million fields are then read without a million allocations, and a
// record with its hundred texts stays small.

#include <QtGlobal>
#include <cstring>
#include <string>
#include <string_view>

class AnsiText
{
public:
    static constexpr size_t kInlineCapacity = 15;

    AnsiText() noexcept { m_tag = 0; }
    explicit AnsiText(std::string_view text)
    {
        m_tag = 0;
        assign(text);
    }
    // A whole list window is copied at once: an inline text is copied as
    // its sixteen bytes, without looking at its length.
    AnsiText(const AnsiText& other)
    {
        if (other.onHeap()) {
            m_tag = 0;
            assign(other.view());
        } else {
            std::memcpy(m_bytes, other.m_bytes, sizeof m_bytes);
            m_tag = other.m_tag;
        }
    }
    AnsiText(AnsiText&& other) noexcept { take(other); }
    ~AnsiText() { release(); }

    AnsiText& operator=(const AnsiText& other)
    {
        if (this == &other)
            return *this;
        if (!onHeap() && !other.onHeap()) {
            std::memcpy(m_bytes, other.m_bytes, sizeof m_bytes);
            m_tag = other.m_tag;
        } else {
            assign(other.view());
        }
        return *this;
    }
    AnsiText& operator=(AnsiText&& other) noexcept
    {
        if (this != &other) {
            release();
            take(other);
        }
        return *this;
    }
    AnsiText& operator=(std::string_view text)
    {
        assign(text);
        return *this;
    }

    void assign(std::string_view text)
    {
        const size_t n = text.size();
        if (n <= kInlineCapacity) {
            if (onHeap()) {
                // text may point into our own heap buffer: copy before freeing
                char copy[kInlineCapacity];
                copySmall(copy, text.data(), n);
                release();
                copySmall(m_bytes, copy, n);
            } else {
                copySmall(m_bytes, text.data(), n);
            }
            m_tag = static_cast<unsigned char>(n);
            return;
        }
        char* block = new char[n];
        std::memcpy(block, text.data(), n);
        release();
        std::memcpy(m_bytes, &block, sizeof block);
        const quint64 size = n; // the low seven bytes (little or big end alike)
        for (size_t i = 0; i < kSizeBytes; ++i)
            m_bytes[sizeof block + i] = static_cast<char>(size >> (8 * i));
        m_tag = kHeapTag;
    }

    const char* data() const { return onHeap() ? heapData() : m_bytes; }
    char* data() { return onHeap() ? heapData() : m_bytes; }
    size_t size() const { return onHeap() ? heapSize() : m_tag; }
    bool empty() const { return m_tag == 0; }
    std::string_view view() const { return std::string_view(data(), size()); }
    operator std::string_view() const { return view(); }
    std::string str() const { return std::string(view()); }

    void clear()
    {
        release();
        m_tag = 0;
    }
    // Keeps the first n bytes.
    void truncate(size_t n)
    {
        if (n < size())
            assign(view().substr(0, n));
    }

    friend bool operator==(const AnsiText& a, const AnsiText& b) { return a.view() == b.view(); }
    friend bool operator==(const AnsiText& a, std::string_view b) { return a.view() == b; }
    friend bool operator==(std::string_view a, const AnsiText& b) { return a == b.view(); }
    friend bool operator!=(const AnsiText& a, const AnsiText& b) { return !(a == b); }
    friend bool operator!=(const AnsiText& a, std::string_view b) { return !(a == b); }
    friend bool operator!=(std::string_view a, const AnsiText& b) { return !(a == b); }

private:
    static constexpr unsigned char kHeapTag = 0xFF;
    static constexpr size_t kSizeBytes = kInlineCapacity - sizeof(char*);

    bool onHeap() const { return m_tag == kHeapTag; }

    // Copies up to 16 bytes without a library call; every load happens
    // before any store, so the source may overlap the destination.
    static void copySmall(char* to, const char* from, size_t n)
    {
        if (n >= 8) {
            quint64 a, b;
            std::memcpy(&a, from, 8);
            std::memcpy(&b, from + n - 8, 8);
            std::memcpy(to, &a, 8);
            std::memcpy(to + n - 8, &b, 8);
        } else if (n >= 4) {
            quint32 a, b;
            std::memcpy(&a, from, 4);
            std::memcpy(&b, from + n - 4, 4);
            std::memcpy(to, &a, 4);
            std::memcpy(to + n - 4, &b, 4);
        } else if (n > 0) {
            const char a = from[0], b = from[n / 2], c = from[n - 1];
            to[0] = a;
            to[n / 2] = b;
            to[n - 1] = c;
        }
    }
    char* heapData() const
    {
        char* p;
        std::memcpy(&p, m_bytes, sizeof p);
        return p;
    }
    size_t heapSize() const
    {
        quint64 n = 0;
        for (size_t i = 0; i < kSizeBytes; ++i)
            n |= quint64(static_cast<unsigned char>(m_bytes[sizeof(char*) + i])) << (8 * i);
        return static_cast<size_t>(n);
    }
    void release()
    {
        if (onHeap()) {
            delete[] heapData();
            m_tag = 0;
        }
    }
    void take(AnsiText& other) noexcept
    {
        std::memcpy(m_bytes, other.m_bytes, sizeof m_bytes);
        m_tag = other.m_tag;
        other.m_tag = 0;
    }

    // Inline: the bytes themselves and m_tag their count. On the heap: a
    // pointer and the size (in the following bytes) stored in m_bytes, and
    // m_tag == kHeapTag.
    alignas(8) char m_bytes[kInlineCapacity];
    unsigned char m_tag;
};

static_assert(sizeof(AnsiText) == 16, "a field text is two words");
