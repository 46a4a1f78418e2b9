#pragma once
// The substance editor: the substance's properties by tab, its per-region
// effect factors, and its check.
#include <memory>

#include "views/editors/editorform.h"

namespace velmora {

class Tsubstancetypedialog;

class TEditSubstanceForm : public TEditorForm {
    Q_OBJECT
public:
    TEditSubstanceForm(Tworkspace& ws, const Tprograminfo& program, QWidget* parent = nullptr);
    ~TEditSubstanceForm() override;

    void FormShow() override;
    // What an edit of "substype" asks with; the desktop's dialog unless
    // replaced (tests answer without a window).
    std::unique_ptr<Tsubstancetypedialog> typedialog;

protected:
    void editvalue(const std::string& name, std::uint32_t region) override;
    int sortflags() const override { return 0; }
    bool editsonregioncolumn() const override { return true; }
};

} // namespace velmora
