#pragma once

// An INI text file held whole in memory: typed lookups and updates by section
// and key, and one write of the whole file. Names of sections and keys match
// regardless of letter case and blanks ("[ Hot Stock ]" is "hotstock").
//
// An object bound to a file writes it back when destroyed, changed or not;
// close() writes once and unbinds. Comment and blank lines, and lines that
// are none of header, entry, comment and blank (a note that starts with a
// digit, say), keep their places: they give no value and are written back as
// they stood. A byte-order mark at the start is kept and is no part of the
// first line. The file is replaced whole through a temporary file, so a
// failed write leaves the previous file as it was.

#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

class IniFile
{
public:
    IniFile() = default;
    explicit IniFile(const std::string& fileName);
    ~IniFile();

    IniFile(const IniFile&) = delete;
    IniFile& operator=(const IniFile&) = delete;

    // Binds to `fileName` and reads it. False when the name is empty or the
    // file cannot be read; a missing file is created by the next save. An
    // empty name unbinds without writing.
    bool load(const std::string& fileName);
    // True when the bound file exists but cannot be read as text at all: it
    // could not be read (a folder, say), is larger than an INI file of ours
    // can be, or holds a zero byte. Such a file is never rewritten. A file a
    // person edited (no line end after its last line, a stray line, a
    // byte-order mark) is read line by line and is not damaged.
    bool damaged() const;
    void save();
    void close();

    // The double and literal variants spare callers an ambiguous call or,
    // for a literal default, a silent pick of the bool variant.
    float getValue(const std::string& section, const std::string& key, float def) const;
    double getValue(const std::string& section, const std::string& key, double def) const;
    int getValue(const std::string& section, const std::string& key, int def) const;
    bool getValue(const std::string& section, const std::string& key, bool def) const;
    std::string getValue(const std::string& section, const std::string& key, const std::string& def) const;
    std::string getValue(const std::string& section, const std::string& key, const char* def) const;

    // The whole value, blanks inside kept and blanks around it dropped, where
    // the string getValue reads one blank-delimited word; `def` when missing.
    std::string getText(const std::string& section, const std::string& key, const std::string& def) const;

    void setValue(const std::string& section, const std::string& key, float value);
    void setValue(const std::string& section, const std::string& key, double value);
    void setValue(const std::string& section, const std::string& key, int value);
    void setValue(const std::string& section, const std::string& key, bool value);
    void setValue(const std::string& section, const std::string& key, const std::string& value);
    void setValue(const std::string& section, const std::string& key, const char* value);

    // Lower case (ASCII only, independent of the locale), every blank removed.
    static std::string normalizeName(const std::string& text);
    // normalizeName, wrapped in "[" "]" unless it already is.
    static std::string normalizeSection(const std::string& text);

private:
    struct Section
    {
        std::string name;   // as read from the file, or as created
        std::vector<std::pair<std::string, std::string> > entries;   // key, value
        // normalizeName of a key to its first entry: a lookup costs one hash,
        // however many keys the section holds
        std::unordered_map<std::string, size_t> keyIndex;
    };

    const std::string* findValue(const std::string& section, const std::string& key) const;
    // The section that `section` names; a new one, named `newName`, when there is none.
    Section& sectionFor(const std::string& section, const std::string& newName);
    static void storeValue(Section& target, const std::string& key, const std::string& value);
    void parse(const std::string& text);
    void addLine(const std::string& section, const std::string& key, const std::string& value);
    std::string serialize() const;
    void clear();

    std::vector<Section> sections;
    // normalizeSection of a section's name to its place in `sections`
    std::unordered_map<std::string, size_t> sectionIndex;
    std::string fileName;
    // Set when the bound file exists but could not be read, or was read but is
    // no text: writing our picture of it would destroy what it holds.
    bool readFailed = false;
    bool notText = false;
    // Written back in front of the first line as it was found.
    bool byteOrderMark = false;
};
