#pragma once
// The main window: menus that start every action on the workspace and a
// status bar telling what is present.
#include <QMainWindow>
#include <array>
#include <memory>

class QLabel;

namespace velmora {

class TVelmoraForm : public QMainWindow {
    Q_OBJECT
public:
    explicit TVelmoraForm(QWidget* parent = nullptr);
    ~TVelmoraForm() override;

    // The four status panels, for tests.
    QString paneltext(int panel) const;

private:
    std::array<QLabel*, 4> panels_{};
};

} // namespace velmora
