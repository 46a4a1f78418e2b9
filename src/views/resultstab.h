#pragma once
// What every tab of the results window is to the window: a page that
// rebuilds itself from the workspace when it is the active tab at a
// refresh, and empties itself on request. The window keeps nothing of the
// results; a tab keeps only what it showed last, until it is shown again.
#include <QWidget>
#include <functional>

#include "toolkit/programinfo.h"
#include "views/resultsgrid.h"

namespace velmora {

class Tgrid;
class Tuiservice;

// "Regionalized".
enum class Tregionalized { full, oecd, no };

// What a refresh hands the active tab.
struct Tresultsstate {
    Tworkspace& ws;
    Tuiservice& ui;
    Tprograminfo program;
    Tregionalized regionalized = Tregionalized::full;
    // The emission-dependent results (concentrations, exposure, effects)
    // are not those of the emission and substance the labels show.
    bool stale = false;
    // No result at all belongs to the labels (a substance that could not be
    // calculated).
    bool staleall = false;

    bool OECDOnly() const { return regionalized == Tregionalized::oecd; }
    Tgridcontext grid(bool emissiondependent) const {
        return Tgridcontext{ws, OECDOnly(), staleall || (emissiondependent && stale)};
    }
};

// What the "Analyze" buttons may do after the tab's refresh.
struct Tanalyze {
    bool column = false;
    bool map = false;
};

class Tresultstab : public QWidget {
public:
    // refresh: asks the window to refresh (the tab's own lists and boxes).
    Tresultstab(const QString& caption, std::function<void()> refresh, QWidget* parent = nullptr)
        : QWidget(parent), caption_(caption), refresh_(std::move(refresh)) {}
    const QString& caption() const { return caption_; }

    // Rebuilds the page from the workspace.
    virtual Tanalyze update(const Tresultsstate& state) = 0;
    // Empties the page (its lists keep their items and selection).
    virtual void clear() = 0;
    // The grid the "Analyze" buttons, the heading double clicks and Print
    // act on; null for a tab without one.
    virtual Tgrid* grid() const { return nullptr; }
    // The stored value behind cell (c, r) of grid() as shown now; false when
    // the cell stands for none (a heading, hidden, unknown, infinite or no
    // number). Statistics are taken on these, not on the rounded texts. By
    // default the cell's text is parsed, which is all a table of plain
    // numbers has.
    virtual bool storedvalue(int c, int r, float& x) const;

protected:
    void requestrefresh() const {
        if (refresh_) refresh_();
    }

private:
    QString caption_;
    std::function<void()> refresh_;
};

} // namespace velmora
