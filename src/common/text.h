// Text helpers shared by every subsystem.  Texts are single-byte ANSI strings
// held in fixed buffers; every routine that grows a text is told the size of
// its buffer and refuses (answers false, leaves a terminated text) rather
// than write past it.
#pragma once

#include <cstddef>

// Whether a byte begins a double-byte character in the code page the texts
// are in.  Paths are walked and ended by characters, not bytes: under a
// double-byte code page (932, say) the trail byte of a character may be the
// byte of "\".  Null means a single-byte code page.
typedef bool (*LeadBytePredicate)(unsigned char byte);

// The platform's own answer (IsDBCSLeadByte), for the Windows build.
bool PlatformLeadByte(unsigned char byte);

// Bytes in the character at text: 2 for a lead byte with its trail byte, 1
// otherwise (a lead byte just before the terminator has no trail byte).
size_t CharacterLength(const char* text, LeadBytePredicate isLeadByte);

// a..z as A..Z, every other byte unchanged: the installer's texts are ANSI,
// and a locale-aware fold would change bytes of double-byte characters.
unsigned char FoldAsciiLetter(unsigned char c);

// Yes when pattern occurs anywhere in text.  Only the ASCII letters a..z are
// folded to A..Z; every other byte, including double-byte characters and
// accented letters of the code page, compares unchanged.
bool FindSubstringNoCase(const char* text, const char* pattern);

// The same, for a pattern that lies wholly before end (at most the
// terminator of text).
bool FindSubstringNoCaseBefore(const char* text, const char* end, const char* pattern);

// Yes when the last character of text is a backslash.
bool EndsWithBackslash(const char* text, LeadBytePredicate isLeadByte);

// Copies source into buffer (capacity bytes, terminator included).
// False, with buffer emptied, when it does not fit.
bool CopyText(char* buffer, size_t capacity, const char* source);

// Appends source to the text in buffer.  False when the result would not
// fit; the buffer then keeps its earlier text.
bool AppendText(char* buffer, size_t capacity, const char* source);

// Appends "\" unless the text in buffer already ends in one, then name: the
// one way every routine joins a folder and a name.
// False when the result would not fit; the buffer then keeps its earlier text.
bool AppendPathName(char* buffer, size_t capacity, const char* name, LeadBytePredicate isLeadByte);

// buffer = folder + ("\" unless folder ends in one) + name.
bool JoinPath(char* buffer, size_t capacity, const char* folder, const char* name, LeadBytePredicate isLeadByte);

// The command-line tail: the command line without the program's own name.
// A leading quoted name is skipped up to and including its closing quote,
// a double-byte lead byte inside the quotes taking its trail byte with it
// (a trail byte may be '"'); an unquoted name is skipped up to the first
// character at or below the blank; then blanks and control characters are
// skipped.  Never reads past the terminating NUL.
const char* CommandTail(const char* commandLine, LeadBytePredicate isLeadByte);
