// A strict reader of RIFF files for the clip tests: every chunk must lie inside its
// parent, and RIFF/LIST chunks are read down to their leaves.
#pragma once

#include "Bytes.h"

#include <string>
#include <vector>

namespace riff {

struct Chunk {
    std::string id;        // "RIFF", "LIST", "avih", "00dc", ...
    std::string listType;  // "AVI ", "hdrl", ... for RIFF and LIST
    size_t header = 0;     // where the chunk's id stands
    size_t data = 0;       // where its data starts (after the list type for lists)
    uint32_t size = 0;     // the size field: data bytes, list type included
    std::vector<Chunk> children;

    const Chunk* Find(const std::string& wanted) const
    {
        for (const Chunk& c : children)
            if (c.id == wanted || (c.id == "LIST" && c.listType == wanted))
                return &c;
        return nullptr;
    }
};

// Reads the chunks in [begin, end); false with a reason if any chunk overruns.
inline bool Parse(const std::vector<uint8_t>& b, size_t begin, size_t end, std::vector<Chunk>& out,
                  std::string& error)
{
    size_t at = begin;
    while (at < end) {
        if (end - at < 8) {
            error = "truncated chunk header at " + std::to_string(at);
            return false;
        }
        Chunk c;
        c.id = bytes::FourCc(b, at);
        c.header = at;
        c.size = bytes::U32(b, at + 4);
        c.data = at + 8;
        if (c.size > end - c.data) {
            error = "chunk " + c.id + " at " + std::to_string(at) + " overruns its parent";
            return false;
        }
        const size_t next = c.data + c.size + (c.size & 1);
        if (c.id == "RIFF" || c.id == "LIST") {
            if (c.size < 4) {
                error = "list without type at " + std::to_string(at);
                return false;
            }
            c.listType = bytes::FourCc(b, c.data);
            if (!Parse(b, c.data + 4, c.data + c.size, c.children, error))
                return false;
        }
        out.push_back(std::move(c));
        at = next;
    }
    return at == end || (error = "padding overruns at " + std::to_string(end), false);
}

}  // namespace riff
