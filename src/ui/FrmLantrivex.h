// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/Language.h"
#include "platform/Notifier.h"
#include "platform/Platform.h"
#include "shell/AppState.h"
#include "shell/Settings.h"
#include "shell/WindowLayout.h"

#include <QHash>
#include <QIcon>
#include <QMainWindow>
#include <QVariant>
#include <array>
#include <memory>
#include <unordered_map>
#include <vector>

class QAction;
class QFrame;
class QLabel;
class QListWidget;
class QMenu;
class QStatusBar;
class QTableView;
class QToolBar;
class QTreeWidget;
class QTreeWidgetItem;

namespace lantrivex::ui {

class BackgroundWork;
class ResultGridModel;
class ResultGridView;
class StatusPanel;
class WaitProgress;

// The main window: the catalogue tree on the left, the splitter bar, and on the right the volume
// panel of the selected volume (title line, total line, result grid), under a toolbar and above a
// status bar. Controls carry their names as objectName ("treeCatalogue", "SizeBarV",
// "lblVolume(1)", "mnuActualiser", ...). Geometry is kept in twips and applied at 15 twips per
// pixel; no layout manager places the inner area's controls.
class FrmLantrivex : public QMainWindow {
    Q_OBJECT
public:
    // Item data roles of the catalogue tree's nodes.
    static constexpr int KeyRole = Qt::UserRole + 1;   // QString: the node's unique key
    static constexpr int TagRole = Qt::UserRole + 2;   // QVariant: panel index of a volume node
    static constexpr int ImageRole = Qt::UserRole + 3; // int: tree image number 1..8
    // int: a machine node's platform::AccessFailure, why it shows no Macintosh server
    static constexpr int FailureRole = Qt::UserRole + 4;

    // Tree image numbers with a meaning.
    static constexpr int kImageMachine = 1;
    static constexpr int kImageMacServer = 2;
    static constexpr int kImageVolume = 3;
    static constexpr int kImageVolumeMissing = 8;

    FrmLantrivex(platform::Platform& platform, platform::Notifier& notifier, shell::AppState& state,
                 QWidget* parent = nullptr);
    ~FrmLantrivex() override;

    // --- Start-up, activation, shutdown -------------------------------------------------------

    // The window's load: file paths, title, settings, the single-instance test, the product's
    // check mark and the placement. False when another instance runs: the user was told, and the
    // window must not be shown (the program ends).
    bool Form_Load();

    // The first activation: template grid, captions, signature table, discovery and catalogue.
    // Runs once (the first-activation flag); later activations do nothing.
    void Form_Activate();

    // --- Language -----------------------------------------------------------------------------

    void MajLangue(LanguageFlag langue);

    // --- Catalogue tree (filled by the catalogue procedure) -----------------------------------

    // Adds a node under `parent` (nullptr: a root node) with its unique key, text, image number
    // (1..8), tag and expansion. Children stay sorted by text. nullptr, and nothing added, when
    // a node with that key is already in the tree.
    QTreeWidgetItem* addTreeNode(QTreeWidgetItem* parent, const QString& key, const QString& text,
                                 int image, const QVariant& tag = {}, bool expanded = false);
    QTreeWidgetItem* findTreeNode(const QString& key) const;
    // Removes every node, from the last to the first.
    void clearTree();
    QTreeWidget* treeCatalogue() const noexcept { return tree_; }

    // --- Volume panels ------------------------------------------------------------------------

    // Loads panel N + 1 as an invisible copy of the template panel, with its title line, the
    // total line "Total: 0" and an empty, set-up result grid. Returns its index. Its controls
    // are made when first asked for (lblVolume(k), lbllblVolume(k), lstSignatures(k)), so that
    // panels never shown cost only their title.
    int loadVolumePanel(const QString& title);
    // Whether panel k's controls have been made.
    bool volumePanelMade(int k) const;
    // Unloads panels N .. 1; the template stays as it is.
    void unloadVolumePanels();
    // N: the highest index of lblVolume (0 when no panel is loaded).
    int volumePanelCount() const noexcept { return static_cast<int>(panelTitles_.size()) - 1; }

    QLabel* lblVolume(int k) const;
    QLabel* lbllblVolume(int k) const;
    ResultGridView* lstSignatures(int k) const;
    ResultGridModel* gridModel(int k) const;

    // --- Working lists, never shown -----------------------------------------------------------

    QListWidget* lstServeurs() const noexcept { return lstServeurs_; }
    QListWidget* lstConnections() const noexcept { return lstConnections_; }
    QListWidget* lstDrives() const noexcept { return lstDrives_; }

    // --- Volume analysis ----------------------------------------------------------------------

    // A click on a node of the tree.
    void SelectCatalogueNode(QTreeWidgetItem* node);
    // Reads the volume's index and fills panel k (the reading half is analysis::ReadVolumeIndex).
    void AnalyseMacVolumeIndex(const QString& volumeRoot, int k);
    // A click on grid g's header cell in `column`.
    void SortOnHeaderClick(int g, int column);

    // --- Layout -------------------------------------------------------------------------------

    // The window layout, run on every resize of the inner area.
    void Form_Resize();
    // A control's geometry in twips as last set (a null rect for controls without one).
    shell::TwipsRect twipsGeometry(const QWidget* control) const;
    // The column widths in twips last given to grid k.
    std::array<std::int32_t, 4> gridColumnWidths(int k) const;
    QWidget* innerArea() const noexcept { return inner_; }

    // --- Status bar, toolbar, menus -----------------------------------------------------------

    // Panels 1..3 of StatusBar1.
    void setStatusText(int panel, const QString& text);
    QString statusText(int panel) const;
    bool statusPictureShown(int panel) const;

    // A toolbar button by its key, "Actualiser" or "Lecteurs".
    QAction* toolbarButton(const QString& key) const;

    std::int16_t productCode() const noexcept { return state_.nServeurMac; }

signals:
    // The commands that open dialogs; the dialogs are shown modally by whoever is connected.
    void signatureManagerRequested();
    void aboutRequested();
    void drivesDialogRequested();

public slots:
    void mnuActualiser_Click();
    void mnuConnecter_Click();
    void mnuQuitter_Click();
    void mnuGestionSignatures_Click();
    void mnuAbout_Click();
    void mnuAnglais_Click();
    void mnuFrancais_Click();
    void mnuMacFile_Click();
    void mnuMacServerIP_Click();
    void mnuExtremeZIP_Click();
    // A toolbar button, by its 1-based index: 1 refresh, 2 drives; others do nothing.
    void Toolbar1_ButtonClick(int index);

protected:
    // The discovery steps of the first activation and of the refreshes: the machines of the
    // network into lstServeurs / lstConnections / lstDrives, then the catalogue tree and its
    // panels rebuilt from them.
    virtual void EnumConnectedDrives();
    virtual void MajTreeCatalogue();

    // Ends the program at once (the quit command): leaves the application's event loop.
    virtual void endProgram();

    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void createMenus();
    void keepMenuBarColours();
    void createToolbar();
    void createStatusBar();
    void createTemplatePanel();
    void setTwips(QWidget* control, const shell::TwipsRect& rect);
    void setUpResultGrid(int k);
    struct PanelWidgets {
        QLabel* title;
        QLabel* total;
        ResultGridView* grid;
    };
    // Panel k's controls, made on the first call.
    PanelWidgets volumePanel(int k) const;
    void makeVolumePanel(int k);
    void setGridColumnWidths(int k, const std::array<std::int32_t, 4>& widths);
    shell::WindowGeometry currentGeometry() const;
    void applyGeometry(const shell::WindowGeometry& g);
    shell::PanelGeometry panelGeometry(int k) const;
    void applyPanelGeometry(int k, const shell::PanelGeometry& g);
    void splitterMouseMove(QMouseEvent* event);
    void splitterRelease();
    void setBarColour(const QColor& colour);
    void changeProduct(std::int16_t code);
    void checkProduct(std::int16_t code);
    // A node not yet in the tree, found by its key (the first node of a key keeps it).
    QTreeWidgetItem* makeTreeNode(const QString& key, const QString& caption, int image,
                                  const QVariant& tag);
    // Adds a node without looking at the other keys (addTreeNode's work once its key is known to
    // be free, and the second volume of a root path that two volumes share).
    QTreeWidgetItem* insertTreeNode(QTreeWidgetItem* parent, const QString& key,
                                    const QString& caption, int image, const QVariant& tag,
                                    bool expanded);
    // The discovery and the catalogue; `announce` puts each step's text in the status bar.
    void refreshDiscovery(bool announce);
    // A node's tooltip: its key, and for a machine the reason it shows no Macintosh server, in
    // the current language.
    void setNodeToolTip(QTreeWidgetItem* item);
    QString text(std::string_view utf8) const;
    char decimalSeparator() const;

    platform::Platform& platform_;
    platform::Notifier& notifier_;
    shell::AppState& state_;
    std::unique_ptr<shell::Settings> settings_;
    // The network work of the discovery and of an analysis, run while the window waits.
    BackgroundWork* work_ = nullptr;
    bool quitting_ = false;
    bool activating_ = false;
    // Whether lstServeurs' first machine is this computer (false only when its name could not be
    // obtained): that machine's registry is read without a connection.
    bool firstIsThisComputer_ = true;

    QWidget* inner_ = nullptr;
    QToolBar* toolbar_ = nullptr;
    QTreeWidget* tree_ = nullptr;
    QFrame* sizeBar_ = nullptr;
    QStatusBar* statusBar_ = nullptr;
    std::array<StatusPanel*, 3> statusPanels_{};
    WaitProgress* progress_ = nullptr; // in status panel 3
    QListWidget* lstServeurs_ = nullptr;
    QListWidget* lstConnections_ = nullptr;
    QListWidget* lstDrives_ = nullptr;
    QLabel* picUp_ = nullptr;
    QLabel* picDown_ = nullptr;

    std::vector<QLabel*> lblVolume_;
    std::vector<QLabel*> lbllblVolume_;
    std::vector<ResultGridView*> lstSignatures_;
    std::vector<std::array<std::int32_t, 4>> columnWidths_;
    std::vector<QString> panelTitles_;
    std::vector<int> madePanels_; // the panels whose controls exist, in the order they were made

    QHash<QString, QTreeWidgetItem*> nodesByKey_;
    std::array<QIcon, 9> nodeIcons_; // the tree's images 1..8
    std::unordered_map<const QWidget*, shell::TwipsRect> twips_;
    QHash<QString, QAction*> actions_;
    QHash<QString, QMenu*> menus_;
};

} // namespace lantrivex::ui
