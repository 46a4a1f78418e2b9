#pragma once
// The emission editor: how much of the substance each region emits into
// each receiving compartment.
#include "views/editors/editorform.h"

namespace velmora {

class TEditEmissionForm : public TEditorForm {
    Q_OBJECT
public:
    TEditEmissionForm(Tworkspace& ws, const Tprograminfo& program, QWidget* parent = nullptr);

    void FormShow() override;

protected:
    void editvalue(const std::string& name, std::uint32_t region) override;
    bool doubleclicks() const override { return false; }
};

} // namespace velmora
