#include "palette_padding.h"

#include <allegro.h>

#include <fstream>
#include <iterator>
#include <vector>

namespace {
// The big-endian 32-bit field at the given offset; 0 past the end.
long field(const std::vector<unsigned char>& bytes, size_t at)
{
    if (at + 4 > bytes.size())
        return 0;
    return static_cast<int>(bytes[at] << 24 | bytes[at + 1] << 16 | bytes[at + 2] << 8 | bytes[at + 3]);
}
} // namespace

bool clearPalettePadding(const char* fileName)
{
    std::vector<unsigned char> bytes;
    {
        std::ifstream in(fileName, std::ios::binary);
        if (!in)
            return false;
        bytes.assign(std::istreambuf_iterator<char>(in), {});
    }
    if (field(bytes, 0) != F_NOPACK_MAGIC || field(bytes, 4) != DAT_MAGIC)
        return false;
    // Top-level objects, each after its properties: type, stored size,
    // expanded size (negative when compressed), content.
    size_t at = 12;
    for (long count = field(bytes, 8); count > 0; --count) {
        while (field(bytes, at) == DAT_PROPERTY) {
            const long text = field(bytes, at + 8);
            if (text < 0)
                return false;
            at += 12 + text;
        }
        const long type = field(bytes, at), size = field(bytes, at + 4);
        if (size < 0 || at + 12 + size > bytes.size())
            return false;
        if (type == DAT_PALETTE && field(bytes, at + 8) == size)
            for (long entry = 3; entry < size; entry += 4)
                bytes[at + 12 + entry] = 0;
        at += 12 + size;
    }
    std::ofstream out(fileName, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out.flush());
}
