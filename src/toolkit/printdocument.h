#pragma once
// Output on paper and in the preview window, laid out for reading: tables
// in aligned columns instead of tab-separated text that runs values into
// names. A printed table repeats its heading rows and columns on every page
// it spans, is split across pages by columns when it is wider than the
// page, and every page carries its number.
#include <string>
#include <vector>

class QPagedPaintDevice;
class QPainter;

namespace velmora {

// A line of text, or a table of cells (rows of texts) with the number of
// its heading rows and heading columns.
struct Tprintblock {
    std::string line;
    std::vector<std::vector<std::string>> cells;
    int headrows = 0;
    int headcols = 0;
    bool istable() const { return !cells.empty(); }
};

class Tprintdocument {
public:
    void addline(const std::string& text);
    // A table given as the tab-delimited writer writes it: one line per
    // row, cells separated by tabs.
    void addtable(const std::string& tabtext, int headrows, int headcols);
    const std::vector<Tprintblock>& blocks() const { return blocks_; }
    bool empty() const { return blocks_.empty(); }

    // The preview's text: lines as they are; each table in columns padded
    // to their widest cell (numbers to the right), a rule under its
    // heading rows. Meant for a fixed-width font.
    std::string aligned() const;

    // Prints on device, starting on its current page; returns the number
    // of pages. Raises Eerror when the device cannot be painted on.
    int print(QPagedPaintDevice& device) const;

private:
    // Lays the blocks out on pages of device, painting with painter unless
    // it is null (counting only); total is the page count for the footers.
    int layout(QPagedPaintDevice& device, QPainter* painter, int total) const;

    std::vector<Tprintblock> blocks_;
};

} // namespace velmora
