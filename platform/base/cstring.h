#pragma once
// The framework's narrow string: a thin wrapper over std::string holding UTF-8 bytes. Built
// from a null pointer it is empty, and it converts to a C string that stays valid until the
// next change.

#include <cstdarg>
#include <string>

class CString {
public:
    CString() = default;
    CString(const char* text) : text_(text ? text : "") {}
    CString(const char* text, int length);
    CString(const std::string& text) : text_(text) {}
    CString(char character, int repeat = 1);

    int GetLength() const { return static_cast<int>(text_.size()); }
    bool IsEmpty() const { return text_.empty(); }
    void Empty() { text_.clear(); }
    const char* GetString() const { return text_.c_str(); }
    operator const char*() const { return text_.c_str(); }
    const std::string& str() const { return text_; }

    char GetAt(int index) const;
    void SetAt(int index, char character);
    char operator[](int index) const { return GetAt(index); }

    CString& operator=(const char* text);
    CString& operator=(const std::string& text);
    CString& operator=(char character);
    CString& operator+=(const CString& other);
    CString& operator+=(const char* text);
    CString& operator+=(char character);
    void Append(const char* text) { *this += text; }
    void AppendChar(char character) { *this += character; }

    int Compare(const char* other) const;
    int CompareNoCase(const char* other) const;

    CString Left(int count) const;
    CString Right(int count) const;
    CString Mid(int first) const;
    CString Mid(int first, int count) const;
    int Find(char character, int start = 0) const;
    int Find(const char* text, int start = 0) const;
    int ReverseFind(char character) const;
    int FindOneOf(const char* characters) const;

    CString& MakeUpper();
    CString& MakeLower();
    CString& MakeReverse();
    CString& Trim();
    CString& TrimLeft();
    CString& TrimRight();
    CString& Trim(const char* characters);
    CString& TrimLeft(const char* characters);
    CString& TrimRight(const char* characters);
    int Replace(const char* old_text, const char* new_text);
    int Replace(char old_character, char new_character);
    int Remove(char character);
    int Insert(int index, const char* text);
    int Insert(int index, char character);
    int Delete(int index, int count = 1);
    CString Tokenize(const char* delimiters, int& start) const;

    void Format(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void FormatV(const char* format, va_list arguments);
    void AppendFormat(const char* format, ...) __attribute__((format(printf, 2, 3)));

    // A writable buffer of at least min_length characters; ReleaseBuffer trims the string to
    // the written text (new_length -1: up to the first null).
    char* GetBuffer(int min_length = 0);
    char* GetBufferSetLength(int length);
    void ReleaseBuffer(int new_length = -1);

private:
    std::string text_;
};

CString operator+(const CString& first, const CString& second);
CString operator+(const CString& first, const char* second);
CString operator+(const char* first, const CString& second);
CString operator+(const CString& first, char second);
CString operator+(char first, const CString& second);
bool operator==(const CString& first, const CString& second);
bool operator==(const CString& first, const char* second);
bool operator==(const char* first, const CString& second);
bool operator!=(const CString& first, const CString& second);
bool operator!=(const CString& first, const char* second);
bool operator!=(const char* first, const CString& second);
bool operator<(const CString& first, const CString& second);

// C-string helpers of the platform under their usual names.
int lstrcmpA(const char* first, const char* second);
int lstrcmpiA(const char* first, const char* second);
int lstrlenA(const char* text);
char* lstrcpynA(char* target, const char* source, int size);
// Byte-wise comparison of two strings (the multi-byte variant compares UTF-8 bytes).
int _mbscmp(const unsigned char* first, const unsigned char* second);
