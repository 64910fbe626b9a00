// Small images made in memory for the decoder tests, the benchmark and the fuzz seeds: BMPs
// byte by byte, PNGs and JPEGs with the libraries' own writers.
#pragma once

#include "res/ImageData.h"

#include <png.h>

#include <cstdio> // jpeglib.h needs FILE
#include <jpeglib.h>

#include <array>
#include <csetjmp>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace fixtures
{

inline std::span<const std::uint8_t> AsBytes(const std::string& bytes)
{
    return {reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()};
}

// R, G, B, A of one decoded pixel, as numbers that print readably.
inline std::array<int, 4> PixelOf(const CImageData& image, int x, int y)
{
    const std::uint8_t* p = image.GetPixel(x, y);
    return {p[0], p[1], p[2], p[3]};
}

// Every pixel, rows top to bottom.
inline std::vector<std::array<int, 4>> AllPixels(const CImageData& image)
{
    std::vector<std::array<int, 4>> pixels;
    for (int y = 0; y < image.m_nHeight; ++y)
        for (int x = 0; x < image.m_nWidth; ++x)
            pixels.push_back(PixelOf(image, x, y));
    return pixels;
}

inline void Put16(std::string& out, std::size_t nPos, std::uint32_t v)
{
    out[nPos] = static_cast<char>(v & 0xFF);
    out[nPos + 1] = static_cast<char>((v >> 8) & 0xFF);
}

inline void Put32(std::string& out, std::size_t nPos, std::uint32_t v)
{
    Put16(out, nPos, v & 0xFFFF);
    Put16(out, nPos + 2, v >> 16);
}

// A BMP file. Rows are given in file order (the first is the bottom row unless the height is
// negative), unpadded; the builder pads them to the row stride.
struct CBmpDesc
{
    std::int32_t nWidth = 1;
    std::int32_t nHeight = 1;
    std::uint16_t nBits = 24;
    std::uint32_t nCompression = 0;
    std::uint32_t nInfoSize = 40;
    std::uint32_t nColoursUsed = 0;
    std::vector<std::uint32_t> palette; // 0x00RRGGBB, written as B, G, R, 0
    std::vector<std::uint32_t> masks;   // after a 40-byte header, or inside a longer one
    std::vector<std::string> rows;
    std::optional<std::uint32_t> nPixelOffset; // default: right after header, masks and palette
};

inline std::size_t BmpStride(std::int32_t nWidth, int nBits)
{
    return (static_cast<std::size_t>(nWidth) * nBits / 8 + 3) & ~std::size_t{3};
}

inline std::string MakeBmp(const CBmpDesc& desc)
{
    std::string out(14 + desc.nInfoSize, '\0');
    out[0] = 'B';
    out[1] = 'M';
    Put32(out, 14, desc.nInfoSize);
    Put32(out, 18, static_cast<std::uint32_t>(desc.nWidth));
    Put32(out, 22, static_cast<std::uint32_t>(desc.nHeight));
    Put16(out, 26, 1);
    Put16(out, 28, desc.nBits);
    Put32(out, 30, desc.nCompression);
    Put32(out, 46, desc.nColoursUsed);
    for (std::size_t i = 0; i < desc.masks.size(); ++i)
    {
        if (desc.nInfoSize >= 52)
            Put32(out, 54 + 4 * i, desc.masks[i]);
        else
        {
            out.append(4, '\0');
            Put32(out, out.size() - 4, desc.masks[i]);
        }
    }
    for (const std::uint32_t rgb : desc.palette)
    {
        out += static_cast<char>(rgb & 0xFF);
        out += static_cast<char>((rgb >> 8) & 0xFF);
        out += static_cast<char>((rgb >> 16) & 0xFF);
        out += '\0';
    }
    Put32(out, 10, desc.nPixelOffset.value_or(static_cast<std::uint32_t>(out.size())));
    const std::size_t nStride = BmpStride(desc.nWidth, desc.nBits);
    for (const std::string& row : desc.rows)
    {
        std::string padded = row;
        padded.resize(nStride, '\0');
        out += padded;
    }
    Put32(out, 2, static_cast<std::uint32_t>(out.size()));
    return out;
}

// A 24-bit bottom-up BMP of the given colours (0x00RRGGBB), rows top to bottom.
inline std::string MakeBmp24(int nWidth, int nHeight, const std::vector<std::uint32_t>& pixels)
{
    CBmpDesc desc;
    desc.nWidth = nWidth;
    desc.nHeight = nHeight;
    for (int y = nHeight - 1; y >= 0; --y)
    {
        std::string row;
        for (int x = 0; x < nWidth; ++x)
        {
            const std::uint32_t rgb =
                pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(nWidth) +
                       static_cast<std::size_t>(x)];
            row += static_cast<char>(rgb & 0xFF);
            row += static_cast<char>((rgb >> 8) & 0xFF);
            row += static_cast<char>((rgb >> 16) & 0xFF);
        }
        desc.rows.push_back(row);
    }
    return MakeBmp(desc);
}

// A PNG file. Rows are raw libpng rows for the colour type and depth, top to bottom.
struct CPngDesc
{
    std::uint32_t nWidth = 1;
    std::uint32_t nHeight = 1;
    int nColourType = PNG_COLOR_TYPE_RGBA;
    int nBitDepth = 8;
    bool bInterlaced = false;
    std::vector<std::string> rows;
    std::vector<png_color> palette;
    std::vector<png_byte> paletteAlpha;      // tRNS of a palette image
    std::optional<png_color_16> transparent; // tRNS of a grey or RGB image
    std::optional<png_color_16> background;  // bKGD
    std::optional<double> gamma;             // gAMA
};

inline void AppendPngBytes(png_structp pPng, png_bytep pData, std::size_t nLength)
{
    static_cast<std::string*>(png_get_io_ptr(pPng))
        ->append(reinterpret_cast<char*>(pData), nLength);
}

inline void FlushPng(png_structp) {}

// The PNG's bytes; empty when libpng refused the desc.
inline std::string MakePng(const CPngDesc& desc)
{
    std::string out;
    png_structp pPng = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop pInfo = png_create_info_struct(pPng);
    std::vector<png_bytep> rows;
    for (const std::string& row : desc.rows)
        rows.push_back(reinterpret_cast<png_bytep>(const_cast<char*>(row.data())));
    if (setjmp(png_jmpbuf(pPng)))
    {
        png_destroy_write_struct(&pPng, &pInfo);
        return {};
    }
    png_set_write_fn(pPng, &out, AppendPngBytes, FlushPng);
    png_set_IHDR(pPng, pInfo, desc.nWidth, desc.nHeight, desc.nBitDepth, desc.nColourType,
                 desc.bInterlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!desc.palette.empty())
        png_set_PLTE(pPng, pInfo, desc.palette.data(), static_cast<int>(desc.palette.size()));
    if (!desc.paletteAlpha.empty())
        png_set_tRNS(pPng, pInfo, desc.paletteAlpha.data(),
                     static_cast<int>(desc.paletteAlpha.size()), nullptr);
    if (desc.transparent)
    {
        png_color_16 colour = *desc.transparent;
        png_set_tRNS(pPng, pInfo, nullptr, 0, &colour);
    }
    if (desc.background)
    {
        png_color_16 colour = *desc.background;
        png_set_bKGD(pPng, pInfo, &colour);
    }
    if (desc.gamma)
        png_set_gAMA(pPng, pInfo, *desc.gamma);
    png_write_info(pPng, pInfo);
    png_write_image(pPng, rows.data());
    png_write_end(pPng, pInfo);
    png_destroy_write_struct(&pPng, &pInfo);
    return out;
}

// An 8-bit RGBA PNG of the given pixels (R, G, B, A bytes, rows top to bottom).
inline std::string MakePngRgba(std::uint32_t nWidth, std::uint32_t nHeight, const std::string& rgba)
{
    CPngDesc desc;
    desc.nWidth = nWidth;
    desc.nHeight = nHeight;
    for (std::uint32_t y = 0; y < nHeight; ++y)
        desc.rows.push_back(rgba.substr(std::size_t{y} * nWidth * 4, std::size_t{nWidth} * 4));
    return MakePng(desc);
}

struct CJpegWriteErrors
{
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

inline void OnJpegWriteError(j_common_ptr pInfo)
{
    std::longjmp(reinterpret_cast<CJpegWriteErrors*>(pInfo->err)->jump, 1);
}

// A baseline JPEG of width × height pixels with nComponents samples each, rows top to bottom.
inline std::string MakeJpeg(int nWidth, int nHeight, int nComponents, J_COLOR_SPACE eSpace,
                            const std::string& samples, int nQuality = 95)
{
    jpeg_compress_struct info{};
    CJpegWriteErrors errors;
    info.err = jpeg_std_error(&errors.manager);
    errors.manager.error_exit = OnJpegWriteError;
    unsigned char* pBuffer = nullptr;
    unsigned long nSize = 0;
    if (setjmp(errors.jump))
    {
        jpeg_destroy_compress(&info);
        std::free(pBuffer); // NOLINT(cppcoreguidelines-owning-memory): libjpeg's malloc'd buffer
        return {};
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, &pBuffer, &nSize);
    info.image_width = static_cast<JDIMENSION>(nWidth);
    info.image_height = static_cast<JDIMENSION>(nHeight);
    info.input_components = nComponents;
    info.in_color_space = eSpace;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, nQuality, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height)
    {
        JSAMPROW pRow = reinterpret_cast<JSAMPROW>(const_cast<char*>(samples.data())) +
                        static_cast<std::size_t>(info.next_scanline) * nWidth * nComponents;
        jpeg_write_scanlines(&info, &pRow, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::string out(reinterpret_cast<char*>(pBuffer), nSize);
    std::free(pBuffer); // NOLINT(cppcoreguidelines-owning-memory): libjpeg's malloc'd buffer
    return out;
}

// The file with its header changed to claim nWidth × nHeight pixels and nothing else changed:
// a small file that says it is huge. BMP (header fields), PNG (IHDR, its checksum made right)
// and JPEG (the first frame header); any other bytes come back as they are.
inline std::string WithClaimedSize(std::string bytes, std::uint32_t nWidth, std::uint32_t nHeight)
{
    const auto putBigEndian = [&](std::size_t nPos, std::uint32_t v, int nSize)
    {
        for (int i = 0; i < nSize; ++i)
            bytes[nPos + i] = static_cast<char>(v >> (8 * (nSize - 1 - i)));
    };
    const auto byteAt = [&](std::size_t nPos) { return static_cast<std::uint8_t>(bytes[nPos]); };
    if (bytes.size() >= 26 && bytes.compare(0, 2, "BM") == 0)
    {
        Put32(bytes, 18, nWidth);
        Put32(bytes, 22, nHeight);
    }
    else if (bytes.size() >= 33 && bytes.compare(12, 4, "IHDR") == 0)
    {
        putBigEndian(16, nWidth, 4);
        putBigEndian(20, nHeight, 4);
        std::uint32_t nCrc = 0xFFFFFFFFu; // over the chunk's type and data
        for (std::size_t i = 12; i < 29; ++i)
        {
            nCrc ^= byteAt(i);
            for (int k = 0; k < 8; ++k)
                nCrc = (nCrc >> 1) ^ (0xEDB88320u & (0u - (nCrc & 1)));
        }
        putBigEndian(29, ~nCrc, 4);
    }
    else if (bytes.size() >= 4 && byteAt(0) == 0xFF && byteAt(1) == 0xD8)
    {
        // Segments from the start marker on, each 0xFF, its kind, a length that counts itself.
        for (std::size_t nPos = 2; nPos + 9 <= bytes.size() && byteAt(nPos) == 0xFF;)
        {
            const std::uint8_t nKind = byteAt(nPos + 1);
            if (nKind >= 0xC0 && nKind <= 0xC2)
            {
                putBigEndian(nPos + 5, nHeight, 2);
                putBigEndian(nPos + 7, nWidth, 2);
                break;
            }
            nPos += 2 + (std::size_t{byteAt(nPos + 2)} << 8 | byteAt(nPos + 3));
        }
    }
    return bytes;
}

} // namespace fixtures
