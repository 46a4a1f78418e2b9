#pragma once
// The environment editor: the landscape parameters of every region, ten
// tabs, the region-pair borders and flows with their chart, the check of
// the environment, and links from a region to a map and a country's facts.
#include "views/editors/editorform.h"

class QComboBox;

namespace velmora {

class Tnumparss;

class TEditEnvironmentForm : public TEditorForm {
    Q_OBJECT
public:
    TEditEnvironmentForm(Tworkspace& ws, const Tprograminfo& program, QWidget* parent = nullptr);

    void FormShow() override;
    void FormClick() override;
    void BordersButtonClick();
    void LocateButtonClick();
    void FactsButtonClick();
    void WorldMapButtonClick();
    // The pair parameter the "&Variable" list names.
    Tnumparss* selectedpair() const;
    // The region name in the current row of "General"; empty without one.
    std::string currentregion() const;

    QComboBox* BordersComboBox = nullptr;
    QPushButton* BordersButton = nullptr;
    QGroupBox* CheckGroupBox = nullptr;
    QCheckBox* UnusedCheckBox = nullptr;
    QCheckBox* NegativeCheckBox = nullptr;
    QGroupBox* RegionInfoGroupBox = nullptr;
    QPushButton* LocateButton = nullptr;
    QPushButton* FactsButton = nullptr;
    QPushButton* WorldMapButton = nullptr;

protected:
    void editvalue(const std::string& name, std::uint32_t region) override;

private:
    QWidget* createregioninfo();
    void createborderstab();
    void createchecktab();
    // Hands an address to the browser; a failure is told.
    void openaddress(const std::string& url);

    std::vector<Tnumparss*> pairs_;
    bool regioninfo_ = false; // "General" was last rebuilt with its regions
};

} // namespace velmora
