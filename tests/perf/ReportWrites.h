// The texts that Kavrin.exe's report writes into its control, for the start-up floor that
// repeats them.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

// Where each report line ends in the report's text, in the order the report appends them.
// Every line ends with CR LF; a heading's underline of hyphens is appended with its heading.
// The report writes the empty text first, then the text up to each of these ends.
inline std::vector<std::size_t> LineEnds(const std::string& text)
{
    std::vector<std::size_t> ends;
    for (std::size_t from = 0, next = 0; from < text.size(); from = next) {
        const std::size_t stop = std::min(text.find("\r\n", from), text.size());
        next = std::min(stop + 2, text.size());
        const bool underline = stop > from && text.find_first_not_of('-', from) >= stop;
        if (underline && !ends.empty())
            ends.back() = next;
        else
            ends.push_back(next);
    }
    return ends;
}
