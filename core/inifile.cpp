#include "core/inifile.h"

#include "core/fileutils.h"

#include <QByteArray>
#include <QDebug>
#include <QFile>
#include <QFileInfo>

#include <locale>
#include <sstream>

namespace {

const char* const kCommentKey = "_comment";
const char* const kNewlineKey = "_newline";
// A line that is none of header, entry, comment and blank: it gives no value,
// and it is the user's, so it is written back where it stood.
const char* const kStrayKey = "_stray";
// What many editors put in front of a UTF-8 file.
const char kByteOrderMark[] = "\xEF\xBB\xBF";
const size_t kByteOrderMarkSize = sizeof(kByteOrderMark) - 1;
// Settings files are a few kilobytes: a larger file is something else, and
// reading it whole into memory could take it all.
const qint64 kMaxFileSize = 1 << 20;

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool isAsciiLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isBracketed(const std::string& text)
{
    return text.size() >= 2 && text.front() == '[' && text.back() == ']';
}

// Lines kept as they were read and written back as they stand.
bool isVerbatim(const std::string& key)
{
    return key == kCommentKey || key == kStrayKey;
}

// Values are read and written in the classic locale whatever the program sets,
// so a file written on one machine reads the same on another ("1.2", never "1,2").
template <typename T>
T readAs(const std::string* text, T def)
{
    if (!text)
        return def;
    std::istringstream in(*text);
    in.imbue(std::locale::classic());
    T value;
    // A failed extraction stores 0 in the variable: only a clean read counts.
    if (in >> value)
        return value;
    return def;
}

template <typename T>
std::string writeAs(const T& value)
{
    std::ostringstream out;
    out.imbue(std::locale::classic());
    out << value;
    return out.str();
}

// A line break inside a key or value would split one entry into several lines
// of the file, and the next load would read them as entries of their own.
std::string singleLine(std::string text)
{
    for (char& c : text) {
        if (c == '\n' || c == '\r')
            c = ' ';
    }
    return text;
}

} // namespace

IniFile::IniFile(const std::string& fileName)
{
    load(fileName);
}

IniFile::~IniFile()
{
    if (!fileName.empty())
        save();
}

std::string IniFile::normalizeName(const std::string& text)
{
    std::string result;
    result.reserve(text.size());
    for (char c : text) {
        if (isBlank(c))
            continue;
        result += (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
    }
    return result;
}

std::string IniFile::normalizeSection(const std::string& text)
{
    const std::string name = normalizeName(text);
    if (isBracketed(name))
        return name;
    return "[" + name + "]";
}

bool IniFile::load(const std::string& name)
{
    fileName = name;
    clear();
    if (fileName.empty())
        return false;

    const QString path = QString::fromLocal8Bit(fileName.c_str());
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        readFailed = QFileInfo::exists(path);
        if (readFailed)
            qWarning() << "cannot read" << path << file.errorString();
        return false;
    }
    if (file.size() > kMaxFileSize) {
        qWarning() << "cannot read" << path << "of" << file.size() << "bytes: no INI file is that large";
        readFailed = true;
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        qWarning() << "cannot read" << path << file.errorString();
        readFailed = true;
        return false;
    }
    if (bytes.contains('\0')) {
        qWarning() << "cannot read" << path << "as text: it holds a zero byte";
        notText = true;
        return true;
    }
    parse(std::string(bytes.constData(), size_t(bytes.size())));
    return true;
}

bool IniFile::damaged() const
{
    return readFailed || notText;
}

void IniFile::parse(const std::string& text)
{
    std::string current;   // lines before the first header belong to no section
    byteOrderMark = text.compare(0, kByteOrderMarkSize, kByteOrderMark) == 0;
    size_t start = byteOrderMark ? kByteOrderMarkSize : 0;
    while (start < text.size()) {
        // a last line without a line end is a line like the others
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        // Every carriage return at the end goes: dropping only one would let a
        // value that ends in several lose one more at every start.
        while (!line.empty() && line.back() == '\r')
            line.pop_back();
        start = end + 1;

        const std::string n = normalizeName(line);
        if (isBracketed(n)) {
            current = line;
        } else if (!n.empty() && isAsciiLetter(n.front())) {
            const size_t eq = line.find('=');
            if (eq == std::string::npos)
                addLine(current, line, line);
            else
                addLine(current, line.substr(0, eq), line.substr(eq + 1));
        } else if (!n.empty() && (n.front() == '#' || n.front() == ';')) {
            addLine(current, kCommentKey, line);
        } else if (n.empty()) {
            addLine(current, kNewlineKey, line);
        } else {
            addLine(current, kStrayKey, line);
        }
    }
}

// Stores one line of the file under the section it stood in. A section takes
// the name of its first header as written; a repeated header merges into it, a
// repeated key keeps its first place and its last value. Comment, blank and
// stray lines are all kept, each in its place.
void IniFile::addLine(const std::string& section, const std::string& key, const std::string& value)
{
    Section& target = sectionFor(section, section);
    if (isVerbatim(key) || key == kNewlineKey) {
        // a lookup of the pseudo key finds the first such line, as a search would
        target.keyIndex.emplace(key, target.entries.size());
        target.entries.emplace_back(key, value);
        return;
    }
    storeValue(target, key, value);
}

void IniFile::storeValue(Section& target, const std::string& key, const std::string& value)
{
    const auto found = target.keyIndex.emplace(normalizeName(key), target.entries.size());
    if (found.second)
        target.entries.emplace_back(key, value);
    else
        target.entries[found.first->second].second = value;
}

IniFile::Section& IniFile::sectionFor(const std::string& section, const std::string& newName)
{
    const auto found = sectionIndex.emplace(normalizeSection(section), sections.size());
    if (found.second)
        sections.push_back(Section{newName, {}, {}});
    return sections[found.first->second];
}

const std::string* IniFile::findValue(const std::string& section, const std::string& key) const
{
    const auto foundSection = sectionIndex.find(normalizeSection(section));
    if (foundSection == sectionIndex.end())
        return nullptr;
    const Section& s = sections[foundSection->second];
    const auto foundKey = s.keyIndex.find(normalizeName(key));
    return foundKey == s.keyIndex.end() ? nullptr : &s.entries[foundKey->second].second;
}

float IniFile::getValue(const std::string& section, const std::string& key, float def) const
{
    return readAs(findValue(section, key), def);
}

double IniFile::getValue(const std::string& section, const std::string& key, double def) const
{
    return readAs(findValue(section, key), def);
}

int IniFile::getValue(const std::string& section, const std::string& key, int def) const
{
    return readAs(findValue(section, key), def);
}

bool IniFile::getValue(const std::string& section, const std::string& key, bool def) const
{
    return readAs(findValue(section, key), def);
}

std::string IniFile::getValue(const std::string& section, const std::string& key, const std::string& def) const
{
    return readAs(findValue(section, key), def);
}

std::string IniFile::getValue(const std::string& section, const std::string& key, const char* def) const
{
    return getValue(section, key, std::string(def ? def : ""));
}

std::string IniFile::getText(const std::string& section, const std::string& key, const std::string& def) const
{
    const std::string* text = findValue(section, key);
    if (!text)
        return def;
    size_t first = 0;
    size_t end = text->size();
    while (first < end && isBlank((*text)[first]))
        ++first;
    while (end > first && isBlank((*text)[end - 1]))
        --end;
    return text->substr(first, end - first);
}

void IniFile::setValue(const std::string& section, const std::string& key, const std::string& value)
{
    storeValue(sectionFor(section, normalizeSection(section)), singleLine(key), singleLine(value));
}

void IniFile::setValue(const std::string& section, const std::string& key, const char* value)
{
    setValue(section, key, std::string(value ? value : ""));
}

void IniFile::setValue(const std::string& section, const std::string& key, float value)
{
    setValue(section, key, writeAs(value));
}

void IniFile::setValue(const std::string& section, const std::string& key, double value)
{
    setValue(section, key, writeAs(value));
}

void IniFile::setValue(const std::string& section, const std::string& key, int value)
{
    setValue(section, key, writeAs(value));
}

void IniFile::setValue(const std::string& section, const std::string& key, bool value)
{
    setValue(section, key, writeAs(value));
}

std::string IniFile::serialize() const
{
    std::string out = byteOrderMark ? kByteOrderMark : "";
    for (const Section& s : sections) {
        // Entries read before the first header have no section to go under
        // and are dropped; the user's comments, blank and stray lines there stay.
        const bool headless = !isBracketed(normalizeName(s.name));
        if (!headless) {
            out += s.name;
            out += '\n';
        }
        for (const auto& entry : s.entries) {
            if (headless && !isVerbatim(entry.first) && entry.first != kNewlineKey)
                continue;
            if (isVerbatim(entry.first)) {
                out += entry.second;
                out += '\n';
            } else if (entry.first == kNewlineKey) {
                out += '\n';
            } else if (!entry.first.empty() && entry.first.front() == '_') {
                continue;   // other pseudo keys are never written
            } else if (!normalizeName(entry.first).empty()) {
                out += entry.first;
                out += '=';
                out += entry.second;
                out += '\n';
            }
        }
    }
    return out;
}

void IniFile::save()
{
    if (fileName.empty())
        return;
    const QString path = QString::fromLocal8Bit(fileName.c_str());
    if (damaged()) {
        qWarning() << "not rewriting" << path << "which could not be read as text";
        return;
    }
    const std::string text = serialize();
    saveWhole(path, QByteArray(text.data(), int(text.size())));
}

void IniFile::close()
{
    if (!fileName.empty())
        save();
    fileName.clear();
    clear();
}

void IniFile::clear()
{
    sections.clear();
    sectionIndex.clear();
    readFailed = false;
    notText = false;
    byteOrderMark = false;
}
