#include "ContactSheet.h"

#include "FrameMock.h"

#include <algorithm>

namespace
{

constexpr int IMAGE_SCALE = 4;
constexpr int MOCK_SCALE = 2;
constexpr int PAD = 6;
constexpr int MAX_ROW_WIDTH = 1400;
constexpr SColour BACKGROUND = Rgb(150, 150, 150);
constexpr SColour GRID = Rgb(96, 96, 96);
constexpr SColour CHECK_LIGHT = Rgb(204, 204, 204);
constexpr SColour CHECK_DARK = Rgb(178, 178, 178);

// The image enlarged, laid over a checkerboard where it is transparent. Long strips show only
// their start.
CCanvas Cell(const CCanvas& image, int nScale, int nMaxWidth)
{
    const CCanvas big =
        image.Crop(0, 0, std::min(image.Width(), nMaxWidth), image.Height()).Enlarged(nScale);
    CCanvas cell(big.Width() + 2 * PAD, big.Height() + 2 * PAD, BACKGROUND);
    for (int y = 0; y < big.Height(); ++y)
        for (int x = 0; x < big.Width(); ++x)
            cell.Set(PAD + x, PAD + y, ((x / 8 + y / 8) % 2 == 0) ? CHECK_LIGHT : CHECK_DARK);
    cell.BlitOver(big, PAD, PAD);
    return cell;
}

using Row = std::vector<CCanvas>;

// Cells side by side, each framed by one-pixel grid lines shared with its neighbours.
void AddRows(std::vector<Row>& rows, const std::vector<CCanvas>& cells)
{
    Row row;
    int nWidth = 1;
    for (const CCanvas& cell : cells)
    {
        if (!row.empty() && nWidth + cell.Width() + 1 > MAX_ROW_WIDTH)
        {
            rows.push_back(std::move(row));
            row.clear();
            nWidth = 1;
        }
        nWidth += cell.Width() + 1;
        row.push_back(cell);
    }
    if (!row.empty())
        rows.push_back(std::move(row));
}

} // namespace

CCanvas BuildContactSheet(const ImageSet& set)
{
    // One group per folder, in the order of the set.
    std::vector<std::vector<CCanvas>> groups;
    std::string strFolder;
    for (const SImageFile& file : set)
    {
        const std::string strDir = file.strPath.substr(0, file.strPath.rfind('/'));
        if (groups.empty() || strDir != strFolder)
            groups.emplace_back();
        strFolder = strDir;
        groups.back().push_back(Cell(file.canvas, IMAGE_SCALE, 96));
    }
    std::vector<CCanvas> mocks;
    for (const CCanvas& mock : BuildFrameMocks(set))
        mocks.push_back(Cell(mock, MOCK_SCALE, mock.Width()));
    groups.push_back(std::move(mocks));

    std::vector<Row> rows;
    for (const auto& group : groups)
        AddRows(rows, group);

    int nWidth = 0;
    int nHeight = 1;
    for (const Row& row : rows)
    {
        int w = 1;
        int h = 0;
        for (const CCanvas& cell : row)
        {
            w += cell.Width() + 1;
            h = std::max(h, cell.Height());
        }
        nWidth = std::max(nWidth, w);
        nHeight += h + 1;
    }
    CCanvas sheet(nWidth, nHeight, BACKGROUND);
    int y = 0;
    for (const Row& row : rows)
    {
        int h = 0;
        for (const CCanvas& cell : row)
            h = std::max(h, cell.Height());
        int x = 0;
        for (const CCanvas& cell : row)
        {
            sheet.FrameRect(x, y, cell.Width() + 2, h + 2, GRID);
            sheet.Blit(cell, x + 1, y + 1);
            x += cell.Width() + 1;
        }
        y += h + 1;
    }
    return sheet;
}
