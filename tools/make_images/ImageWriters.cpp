#include "ImageWriters.h"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <fstream>
#include <map>

namespace
{

constexpr std::uint32_t FILE_HEADER_SIZE = 14;
constexpr std::uint32_t INFO_HEADER_SIZE = 40;
// 72 dots per inch, as pixels per metre.
constexpr std::uint32_t PIXELS_PER_METRE = 2835;

void Put16(ByteVector& out, std::uint32_t v)
{
    out.push_back(static_cast<std::uint8_t>(v & 0xFF));
    out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
}

void Put32(ByteVector& out, std::uint32_t v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

std::uint32_t RowStride(int nWidth, int nBytesPerPixel)
{
    return (static_cast<std::uint32_t>(nWidth) * nBytesPerPixel + 3) & ~3u;
}

ByteVector BmpHeaders(const CCanvas& canvas, int nBits, std::uint32_t nColours)
{
    const std::uint32_t nImageSize = RowStride(canvas.Width(), nBits / 8) * canvas.Height();
    const std::uint32_t nOffset = FILE_HEADER_SIZE + INFO_HEADER_SIZE + 4 * nColours;
    ByteVector out;
    out.push_back('B');
    out.push_back('M');
    Put32(out, nOffset + nImageSize);
    Put32(out, 0); // reserved
    Put32(out, nOffset);
    Put32(out, INFO_HEADER_SIZE);
    Put32(out, static_cast<std::uint32_t>(canvas.Width()));
    Put32(out, static_cast<std::uint32_t>(canvas.Height())); // positive: bottom-up
    Put16(out, 1);                                           // planes
    Put16(out, static_cast<std::uint32_t>(nBits));
    Put32(out, 0); // no compression
    Put32(out, nImageSize);
    Put32(out, PIXELS_PER_METRE);
    Put32(out, PIXELS_PER_METRE);
    Put32(out, nColours);
    Put32(out, 0); // all colours important
    return out;
}

void PadRow(ByteVector& out, std::size_t nRowStart, std::uint32_t nStride)
{
    out.resize(nRowStart + nStride, 0);
}

void AppendToVector(png_structp png, png_bytep data, png_size_t length)
{
    auto* pOut = static_cast<ByteVector*>(png_get_io_ptr(png));
    pOut->insert(pOut->end(), data, data + length);
}

} // namespace

ByteVector EncodeBmp24(const CCanvas& canvas)
{
    if (canvas.Width() <= 0 || canvas.Height() <= 0 || !canvas.IsOpaque())
        return {};
    ByteVector out = BmpHeaders(canvas, 24, 0);
    const std::uint32_t nStride = RowStride(canvas.Width(), 3);
    for (int y = canvas.Height() - 1; y >= 0; --y)
    {
        const std::size_t nRowStart = out.size();
        for (int x = 0; x < canvas.Width(); ++x)
        {
            const SColour c = canvas.Get(x, y);
            out.insert(out.end(), {c.b, c.g, c.r});
        }
        PadRow(out, nRowStart, nStride);
    }
    return out;
}

ByteVector EncodeBmp8(const CCanvas& canvas)
{
    if (canvas.Width() <= 0 || canvas.Height() <= 0 || !canvas.IsOpaque())
        return {};
    std::vector<SColour> palette;
    std::map<std::uint32_t, std::uint8_t> index;
    for (const SColour& c : canvas.Pixels())
    {
        const std::uint32_t key = static_cast<std::uint32_t>(c.r) << 16 | c.g << 8 | c.b;
        if (index.contains(key))
            continue;
        if (palette.size() == 256)
            return {};
        index[key] = static_cast<std::uint8_t>(palette.size());
        palette.push_back(c);
    }
    ByteVector out = BmpHeaders(canvas, 8, static_cast<std::uint32_t>(palette.size()));
    for (const SColour& c : palette)
        out.insert(out.end(), {c.b, c.g, c.r, 0});
    const std::uint32_t nStride = RowStride(canvas.Width(), 1);
    for (int y = canvas.Height() - 1; y >= 0; --y)
    {
        const std::size_t nRowStart = out.size();
        for (int x = 0; x < canvas.Width(); ++x)
        {
            const SColour c = canvas.Get(x, y);
            out.push_back(index[static_cast<std::uint32_t>(c.r) << 16 | c.g << 8 | c.b]);
        }
        PadRow(out, nRowStart, nStride);
    }
    return out;
}

ByteVector EncodePng(const CCanvas& canvas)
{
    if (canvas.Width() <= 0 || canvas.Height() <= 0)
        return {};
    ByteVector rgba;
    rgba.reserve(canvas.Pixels().size() * 4);
    for (const SColour& c : canvas.Pixels())
        rgba.insert(rgba.end(), {c.r, c.g, c.b, c.a});
    std::vector<png_bytep> rows(static_cast<std::size_t>(canvas.Height()));
    for (int y = 0; y < canvas.Height(); ++y)
        rows[static_cast<std::size_t>(y)] =
            rgba.data() + static_cast<std::size_t>(y) * canvas.Width() * 4;

    ByteVector out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    if (info == nullptr)
    {
        png_destroy_write_struct(&png, nullptr);
        return {};
    }
    if (setjmp(png_jmpbuf(png)))
    {
        png_destroy_write_struct(&png, &info);
        return {};
    }
    png_set_write_fn(png, &out, AppendToVector, nullptr);
    // Fixed settings: the bytes depend on nothing but the pixels (and zlib).
    png_set_compression_level(png, 9);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_ALL_FILTERS);
    png_set_IHDR(png, info, static_cast<png_uint_32>(canvas.Width()),
                 static_cast<png_uint_32>(canvas.Height()), 8, PNG_COLOR_TYPE_RGB_ALPHA,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
    png_set_rows(png, info, rows.data());
    png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

bool WriteFileBytes(const std::filesystem::path& path, const ByteVector& bytes)
{
    std::error_code ec;
    if (path.has_parent_path())
        std::filesystem::create_directories(path.parent_path(), ec);
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file.flush());
}
