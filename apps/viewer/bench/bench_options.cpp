// Command-line parsing of the viewer.
#include "bench_options.h"

#include <vector>

namespace bench {

namespace {

bool is_space(char16_t c) { return c == u' ' || c == u'\t'; }

// Words split at spaces; a double-quoted stretch keeps its spaces (/result:"my runs\a.json").
std::vector<std::u16string> words(const std::u16string &line) {
    std::vector<std::u16string> out;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && is_space(line[i]))
            ++i;
        if (i == line.size())
            break;
        std::u16string word;
        bool quoted = false;
        for (; i < line.size() && (quoted || !is_space(line[i])); ++i) {
            if (line[i] == u'"')
                quoted = !quoted;
            else
                word += line[i];
        }
        out.push_back(word);
    }
    return out;
}

bool ends_with_nocase(const std::u16string &word, const char *suffix) {
    size_t n = 0;
    while (suffix[n])
        ++n;
    if (word.size() < n)
        return false;
    for (size_t i = 0; i < n; ++i) {
        char16_t c = word[word.size() - n + i];
        if (c >= u'A' && c <= u'Z')
            c = c - u'A' + u'a';
        if (c != static_cast<char16_t>(suffix[i]))
            return false;
    }
    return true;
}

bool starts_with_nocase(const std::u16string &word, const char *prefix) {
    size_t i = 0;
    for (; prefix[i]; ++i) {
        char16_t c = i < word.size() ? word[i] : 0;
        if (c >= u'A' && c <= u'Z')
            c = c - u'A' + u'a';
        if (c != static_cast<char16_t>(prefix[i]))
            return false;
    }
    return true;
}

// "1,2,4" -> bits 0, 1 and 3; false on anything but mode numbers and commas.
bool parse_modes(const std::u16string &list, unsigned &modes) {
    modes = 0;
    for (char16_t c : list) {
        if (c >= u'1' && c <= u'4')
            modes |= 1u << (c - u'1');
        else if (c != u',')
            return false;
    }
    return modes != 0;
}

} // namespace

Options parse_command_line(const std::u16string &commandLine) {
    Options options;
    size_t first = 0;
    while (first < commandLine.size() && is_space(commandLine[first]))
        ++first;
    if (first == commandLine.size()) {
        options.benchmark = true;
        return options;
    }
    if (commandLine[first] != u'/') {
        options.aircraft = commandLine;
        return options;
    }
    options.benchmark = true;
    for (const std::u16string &word : words(commandLine.substr(first))) {
        if (starts_with_nocase(word, "/auto") && word.size() == 5) {
            options.unattended = true;
        } else if (starts_with_nocase(word, "/modes:")) {
            if (!parse_modes(word.substr(7), options.modes))
                return options.error = u"/modes: takes mode numbers 1 to 4, e.g. /modes:1,2", options;
        } else if (starts_with_nocase(word, "/result:")) {
            options.resultFile = word.substr(8);
            if (options.resultFile.empty())
                return options.error = u"/result: needs a file name, e.g. /result:run1.json", options;
            // The frame times go beside the summary as <name>.csv: a summary named .csv would be that file.
            if (ends_with_nocase(options.resultFile, ".csv"))
                return options.error = u"/result: names the JSON summary; the frame times go beside it as .csv. "
                                       u"Choose a name that does not end in .csv, e.g. /result:run1.json",
                       options;
        } else if (starts_with_nocase(word, "/submit") && word.size() == 7) {
            options.submit = true;
        } else {
            return options.error =
                       u"Unknown option " + word + u" (options: /auto /modes:1,2 /result:<file> /submit)",
                   options;
        }
    }
    return options;
}

} // namespace bench
