#include "platform/base/cstring.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

bool is_space(char character)
{
    return std::isspace(static_cast<unsigned char>(character)) != 0;
}

int sign_of(int value)
{
    return value < 0 ? -1 : (value > 0 ? 1 : 0);
}

int clamp_index(int value, int length)
{
    return std::max(0, std::min(value, length));
}

}  // namespace

CString::CString(const char* text, int length)
{
    if (text && length > 0)
        text_.assign(text, static_cast<size_t>(length));
}

CString::CString(char character, int repeat)
{
    if (repeat > 0)
        text_.assign(static_cast<size_t>(repeat), character);
}

char CString::GetAt(int index) const
{
    if (index < 0 || index >= GetLength())
        return '\0';
    return text_[static_cast<size_t>(index)];
}

void CString::SetAt(int index, char character)
{
    if (index >= 0 && index < GetLength())
        text_[static_cast<size_t>(index)] = character;
}

CString& CString::operator=(const char* text)
{
    text_ = text ? text : "";
    return *this;
}

CString& CString::operator=(const std::string& text)
{
    text_ = text;
    return *this;
}

CString& CString::operator=(char character)
{
    text_.assign(1, character);
    return *this;
}

CString& CString::operator+=(const CString& other)
{
    text_ += other.text_;
    return *this;
}

CString& CString::operator+=(const char* text)
{
    if (text)
        text_ += text;
    return *this;
}

CString& CString::operator+=(char character)
{
    text_ += character;
    return *this;
}

int CString::Compare(const char* other) const
{
    return sign_of(std::strcmp(text_.c_str(), other ? other : ""));
}

int CString::CompareNoCase(const char* other) const
{
    return lstrcmpiA(text_.c_str(), other ? other : "");
}

CString CString::Left(int count) const
{
    return CString(text_.substr(0, static_cast<size_t>(clamp_index(count, GetLength()))));
}

CString CString::Right(int count) const
{
    const int taken = clamp_index(count, GetLength());
    return CString(text_.substr(static_cast<size_t>(GetLength() - taken)));
}

CString CString::Mid(int first) const
{
    return Mid(first, GetLength());
}

CString CString::Mid(int first, int count) const
{
    const int start = clamp_index(first, GetLength());
    const int taken = clamp_index(count, GetLength() - start);
    return CString(text_.substr(static_cast<size_t>(start), static_cast<size_t>(taken)));
}

int CString::Find(char character, int start) const
{
    if (start < 0 || start >= GetLength())
        return -1;
    const size_t found = text_.find(character, static_cast<size_t>(start));
    return found == std::string::npos ? -1 : static_cast<int>(found);
}

int CString::Find(const char* text, int start) const
{
    if (!text || start < 0 || start > GetLength())
        return -1;
    const size_t found = text_.find(text, static_cast<size_t>(start));
    return found == std::string::npos ? -1 : static_cast<int>(found);
}

int CString::ReverseFind(char character) const
{
    const size_t found = text_.rfind(character);
    return found == std::string::npos ? -1 : static_cast<int>(found);
}

int CString::FindOneOf(const char* characters) const
{
    if (!characters)
        return -1;
    const size_t found = text_.find_first_of(characters);
    return found == std::string::npos ? -1 : static_cast<int>(found);
}

CString& CString::MakeUpper()
{
    for (char& character : text_)
        character = static_cast<char>(std::toupper(static_cast<unsigned char>(character)));
    return *this;
}

CString& CString::MakeLower()
{
    for (char& character : text_)
        character = static_cast<char>(std::tolower(static_cast<unsigned char>(character)));
    return *this;
}

CString& CString::MakeReverse()
{
    std::reverse(text_.begin(), text_.end());
    return *this;
}

CString& CString::Trim()
{
    return TrimLeft().TrimRight();
}

CString& CString::TrimLeft()
{
    text_.erase(text_.begin(), std::find_if(text_.begin(), text_.end(), [](char c) { return !is_space(c); }));
    return *this;
}

CString& CString::TrimRight()
{
    text_.erase(std::find_if(text_.rbegin(), text_.rend(), [](char c) { return !is_space(c); }).base(),
                text_.end());
    return *this;
}

CString& CString::Trim(const char* characters)
{
    return TrimLeft(characters).TrimRight(characters);
}

CString& CString::TrimLeft(const char* characters)
{
    const size_t first = text_.find_first_not_of(characters ? characters : "");
    text_.erase(0, first == std::string::npos ? text_.size() : first);
    return *this;
}

CString& CString::TrimRight(const char* characters)
{
    const size_t last = text_.find_last_not_of(characters ? characters : "");
    text_.erase(last == std::string::npos ? 0 : last + 1);
    return *this;
}

int CString::Replace(const char* old_text, const char* new_text)
{
    if (!old_text || !*old_text)
        return 0;
    const std::string replacement = new_text ? new_text : "";
    const size_t old_length = std::strlen(old_text);
    int count = 0;
    size_t position = 0;
    while ((position = text_.find(old_text, position)) != std::string::npos) {
        text_.replace(position, old_length, replacement);
        position += replacement.size();
        ++count;
    }
    return count;
}

int CString::Replace(char old_character, char new_character)
{
    int count = 0;
    for (char& character : text_) {
        if (character == old_character) {
            character = new_character;
            ++count;
        }
    }
    return count;
}

int CString::Remove(char character)
{
    const size_t before = text_.size();
    text_.erase(std::remove(text_.begin(), text_.end(), character), text_.end());
    return static_cast<int>(before - text_.size());
}

int CString::Insert(int index, const char* text)
{
    text_.insert(static_cast<size_t>(clamp_index(index, GetLength())), text ? text : "");
    return GetLength();
}

int CString::Insert(int index, char character)
{
    text_.insert(static_cast<size_t>(clamp_index(index, GetLength())), 1, character);
    return GetLength();
}

int CString::Delete(int index, int count)
{
    if (index >= 0 && index < GetLength() && count > 0)
        text_.erase(static_cast<size_t>(index), static_cast<size_t>(count));
    return GetLength();
}

CString CString::Tokenize(const char* delimiters, int& start) const
{
    const std::string separators = delimiters ? delimiters : "";
    if (start < 0 || start >= GetLength()) {
        start = -1;
        return CString();
    }
    const size_t first = text_.find_first_not_of(separators, static_cast<size_t>(start));
    if (first == std::string::npos) {
        start = -1;
        return CString();
    }
    size_t end = text_.find_first_of(separators, first);
    if (end == std::string::npos)
        end = text_.size();
    start = static_cast<int>(std::min(end + 1, text_.size() + 1));
    return CString(text_.substr(first, end - first));
}

void CString::Format(const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    FormatV(format, arguments);
    va_end(arguments);
}

void CString::FormatV(const char* format, va_list arguments)
{
    if (!format) {
        text_.clear();
        return;
    }
    va_list measuring;
    va_copy(measuring, arguments);
    const int length = std::vsnprintf(nullptr, 0, format, measuring);
    va_end(measuring);
    if (length < 0) {
        text_.clear();
        return;
    }
    std::vector<char> buffer(static_cast<size_t>(length) + 1);
    std::vsnprintf(buffer.data(), buffer.size(), format, arguments);
    text_.assign(buffer.data(), static_cast<size_t>(length));
}

void CString::AppendFormat(const char* format, ...)
{
    CString added;
    va_list arguments;
    va_start(arguments, format);
    added.FormatV(format, arguments);
    va_end(arguments);
    *this += added;
}

char* CString::GetBuffer(int min_length)
{
    if (min_length > GetLength())
        text_.resize(static_cast<size_t>(min_length), '\0');
    return &text_[0];
}

char* CString::GetBufferSetLength(int length)
{
    text_.resize(static_cast<size_t>(std::max(0, length)), '\0');
    return &text_[0];
}

void CString::ReleaseBuffer(int new_length)
{
    if (new_length < 0)
        text_.resize(std::strlen(text_.c_str()));
    else
        text_.resize(static_cast<size_t>(std::min(new_length, GetLength())));
}

CString operator+(const CString& first, const CString& second)
{
    CString result(first);
    result += second;
    return result;
}

CString operator+(const CString& first, const char* second)
{
    CString result(first);
    result += second;
    return result;
}

CString operator+(const char* first, const CString& second)
{
    CString result(first);
    result += second;
    return result;
}

CString operator+(const CString& first, char second)
{
    CString result(first);
    result += second;
    return result;
}

CString operator+(char first, const CString& second)
{
    CString result(first);
    result += second;
    return result;
}

bool operator==(const CString& first, const CString& second) { return first.str() == second.str(); }
bool operator==(const CString& first, const char* second) { return first.Compare(second) == 0; }
bool operator==(const char* first, const CString& second) { return second.Compare(first) == 0; }
bool operator!=(const CString& first, const CString& second) { return !(first == second); }
bool operator!=(const CString& first, const char* second) { return !(first == second); }
bool operator!=(const char* first, const CString& second) { return !(first == second); }
bool operator<(const CString& first, const CString& second) { return first.str() < second.str(); }

int lstrcmpA(const char* first, const char* second)
{
    return sign_of(std::strcmp(first ? first : "", second ? second : ""));
}

int lstrcmpiA(const char* first, const char* second)
{
    const unsigned char* a = reinterpret_cast<const unsigned char*>(first ? first : "");
    const unsigned char* b = reinterpret_cast<const unsigned char*>(second ? second : "");
    for (;; ++a, ++b) {
        const int difference = std::tolower(*a) - std::tolower(*b);
        if (difference != 0 || *a == 0)
            return sign_of(difference);
    }
}

int lstrlenA(const char* text)
{
    return text ? static_cast<int>(std::strlen(text)) : 0;
}

char* lstrcpynA(char* target, const char* source, int size)
{
    if (!target || size <= 0)
        return target;
    const size_t copied = std::min(std::strlen(source ? source : ""), static_cast<size_t>(size - 1));
    if (copied > 0)
        std::memcpy(target, source, copied);
    target[copied] = '\0';
    return target;
}

int _mbscmp(const unsigned char* first, const unsigned char* second)
{
    return lstrcmpA(reinterpret_cast<const char*>(first), reinterpret_cast<const char*>(second));
}
