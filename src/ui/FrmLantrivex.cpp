// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/FrmLantrivex.h"

#include "analysis/CatalogueModel.h"
#include "analysis/VolumeIndexReader.h"
#include "common/Collation.h"
#include "discovery/ConnectedMachines.h"
#include "discovery/MacServerLookup.h"
#include "platform/AccessFailure.h"
#include "shell/Captions.h"
#include "shell/SystemText.h"
#include "shell/VolumeResult.h"
#include "signatures/SignatureLoader.h"
#include "ui/BackgroundWork.h"
#include "ui/FrmConnecter.h"
#include "ui/Images.h"
#include "ui/ResultGridModel.h"
#include "ui/ResultGridView.h"
#include "ui/VolumeTitleLabel.h"
#include "ui/WaitProgress.h"
#include "ui/WorkerNotifier.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QStatusBar>
#include <QSysInfo>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <algorithm>
#include <cmath>
#include <functional>

namespace lantrivex::ui {

using shell::TwipsRect;

// One panel of the status bar: a picture and a text.
class StatusPanel : public QFrame {
public:
    explicit StatusPanel(QWidget* parent) : QFrame(parent) {
        setFrameStyle(QFrame::Panel | QFrame::Sunken);
        auto* row = new QHBoxLayout(this);
        row->setContentsMargins(2, 0, 2, 0);
        row->setSpacing(3);
        picture_ = new QLabel(this);
        picture_->hide();
        text_ = new QLabel(this);
        row->addWidget(picture_);
        row->addWidget(text_, 1);
    }

    void setText(const QString& text) { text_->setText(text); }
    QString text() const { return text_->text(); }
    void setPicture(const QPixmap& pixmap) {
        picture_->setPixmap(pixmap);
        picture_->setVisible(!pixmap.isNull());
    }
    bool hasPicture() const { return picture_->isVisibleTo(this) && !picture_->pixmap().isNull(); }

private:
    QLabel* picture_;
    QLabel* text_;
};

namespace {

constexpr double kTwips = shell::kTwipsPerPixel;
// The window's design position on the screen, twips.
constexpr std::int32_t kDesignLeft = 1440;
constexpr std::int32_t kDesignTop = 1440;

int toPixels(double twips) {
    return static_cast<int>(std::lround(twips / kTwips));
}

QString indexedName(const char* array, int k) {
    return QStringLiteral("%1(%2)").arg(QLatin1String(array)).arg(k);
}

// A node of the catalogue: siblings sort as a reader reads them, letter case aside, in the
// catalogue's collation (the command-line reader's too). The key is made once, with the node.
class CatalogueNodeItem : public QTreeWidgetItem {
public:
    explicit CatalogueNodeItem(const QString& caption)
        : QTreeWidgetItem(QStringList(caption)), sortKey_(collationKey(caption.toStdString())) {}

    bool operator<(const QTreeWidgetItem& other) const override {
        const auto* node = dynamic_cast<const CatalogueNodeItem*>(&other);
        return node != nullptr ? sortKey_ < node->sortKey_ : QTreeWidgetItem::operator<(other);
    }

private:
    std::string sortKey_;
};

// The volume title and the total line share one band: each label paints its own background, so
// that the one in front covers the other, as opaque labels do.
void makeOpaque(QLabel* label) {
    label->setAutoFillBackground(true);
}

} // namespace

QString FrmLantrivex::text(std::string_view utf8) const {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

FrmLantrivex::FrmLantrivex(platform::Platform& platform, platform::Notifier& notifier,
                           shell::AppState& state, QWidget* parent)
    : QMainWindow(parent), platform_(platform), notifier_(notifier), state_(state) {
    setObjectName(QStringLiteral("frmLantrivex"));
    setWindowTitle(text(kProductName));
    setWindowIcon(programWindowIcon());
    work_ = new BackgroundWork(this);

    createMenus();

    inner_ = new QWidget(this);
    inner_->setObjectName(QStringLiteral("innerArea"));
    setCentralWidget(inner_);
    inner_->installEventFilter(this);

    createToolbar();

    tree_ = new QTreeWidget(inner_);
    tree_->setObjectName(QStringLiteral("treeCatalogue"));
    tree_->setHeaderHidden(true);
    tree_->setColumnCount(1);
    tree_->setIconSize(QSize(16, 16));
    tree_->setRootIsDecorated(true);
    tree_->setUniformRowHeights(true);
    tree_->setSortingEnabled(true);
    tree_->sortByColumn(0, Qt::AscendingOrder);
    connect(tree_, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* item, int) { SelectCatalogueNode(item); });
    connect(tree_, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem* item, int) { SelectCatalogueNode(item); });

    sizeBar_ = new QFrame(inner_);
    sizeBar_->setObjectName(QStringLiteral("SizeBarV"));
    sizeBar_->setCursor(Qt::SplitHCursor);
    sizeBar_->setMouseTracking(true);
    sizeBar_->setAutoFillBackground(true);
    sizeBar_->installEventFilter(this);

    createTemplatePanel();
    createStatusBar();

    // The working lists: insertion order, never shown.
    auto makeList = [this](const char* name) {
        auto* list = new QListWidget(inner_);
        list->setObjectName(QLatin1String(name));
        list->setSortingEnabled(false);
        list->hide();
        return list;
    };
    lstServeurs_ = makeList("lstServeurs");
    lstConnections_ = makeList("lstConnections");
    lstDrives_ = makeList("lstDrives");

    // Picture holders, never shown: the sort arrows and two spare pictures.
    auto makePicture = [this](const char* name, const QPixmap& pixmap) {
        auto* label = new QLabel(inner_);
        label->setObjectName(QLatin1String(name));
        label->setPixmap(pixmap);
        label->hide();
        return label;
    };
    picUp_ = makePicture("picUp", upArrow());
    picDown_ = makePicture("picDown", downArrow());
    QLabel* picture1 = makePicture("Picture1", treeImage(kImageVolume).copy(0, 0, 15, 15));
    QLabel* picture2 = makePicture("Picture2", treeImage(kImageMachine));

    // Design geometry.
    const shell::WindowGeometry design = shell::designGeometry();
    setTwips(toolbar_, {0, 0, shell::kDesignInnerWidth, shell::kToolbarHeight});
    applyGeometry(design);
    setTwips(statusBar_, {0, shell::kDesignInnerHeight - shell::kStatusBarHeight,
                          shell::kDesignInnerWidth, shell::kStatusBarHeight});
    setTwips(lstServeurs_, {9000, 1440, 1095, 840});
    setTwips(lstConnections_, {9000, 2400, 1095, 840});
    setTwips(lstDrives_, {9000, 480, 1095, 840});
    setTwips(picUp_, {480, 4680, 210, 195});
    setTwips(picDown_, {120, 4680, 210, 195});
    setTwips(picture1, {2400, 4080, 285, 285});
    setTwips(picture2, {2880, 4080, 300, 300});
    sizeBar_->raise();
}

FrmLantrivex::~FrmLantrivex() = default;

// ---------------------------------------------------------------------------------------------
// Construction

void FrmLantrivex::createMenus() {
    auto addMenu = [this](QMenuBar* bar, const char* name, const char* caption) {
        QMenu* menu = bar->addMenu(QString::fromUtf8(caption));
        menu->setObjectName(QLatin1String(name));
        menu->menuAction()->setObjectName(QLatin1String(name));
        menus_.insert(QLatin1String(name), menu);
        return menu;
    };
    auto addItem = [this](QMenu* menu, const char* name, const char* caption,
                          const QKeySequence& shortcut, void (FrmLantrivex::*slot)()) {
        QAction* action = menu->addAction(QString::fromUtf8(caption));
        action->setObjectName(QLatin1String(name));
        if (!shortcut.isEmpty()) {
            action->setShortcut(shortcut);
            action->setShortcutContext(Qt::WindowShortcut);
        }
        connect(action, &QAction::triggered, this, slot);
        actions_.insert(QLatin1String(name), action);
        return action;
    };

    QMenuBar* bar = menuBar();
    QMenu* fichier = addMenu(bar, "mnuFichier", "&Fichier");
    addItem(fichier, "mnuActualiser", "&Actualiser", QKeySequence(Qt::Key_F5),
            &FrmLantrivex::mnuActualiser_Click);
    addItem(fichier, "mnuConnecter", "&Afficher les lecteurs", {},
            &FrmLantrivex::mnuConnecter_Click);
    fichier->addSeparator()->setObjectName(QStringLiteral("Sep11"));
    addItem(fichier, "mnuQuitter", "&Quitter", {}, &FrmLantrivex::mnuQuitter_Click);

    QMenu* configuration = addMenu(bar, "mnuConfiguration", "&Configuration");
    addItem(configuration, "mnuGestionSignatures", "Gestion des &signatures",
            QKeySequence(Qt::Key_F3), &FrmLantrivex::mnuGestionSignatures_Click);

    // The product is chosen through the settings file: the menu stays out of reach.
    QMenu* serveur = addMenu(bar, "mnuServeurMac", "Serveur Macintosh");
    addItem(serveur, "mnuMacFile", "Microsoft SFM (MacFile)", {}, &FrmLantrivex::mnuMacFile_Click)
        ->setCheckable(true);
    addItem(serveur, "mnuMacServerIP", "Cyan Software MacServerIP", {},
            &FrmLantrivex::mnuMacServerIP_Click)
        ->setCheckable(true);
    addItem(serveur, "mnuExtremeZIP", "Intergraph ExtremeZ-IP", {},
            &FrmLantrivex::mnuExtremeZIP_Click)
        ->setCheckable(true);
    serveur->menuAction()->setEnabled(false);

    QMenu* langue = addMenu(bar, "mnuLangue", "&Language");
    addItem(langue, "mnuAnglais", "&English", {}, &FrmLantrivex::mnuAnglais_Click)
        ->setCheckable(true);
    addItem(langue, "mnuFrancais",
            "&Fran\xC3\xA7"
            "ais",
            {}, &FrmLantrivex::mnuFrancais_Click)
        ->setCheckable(true);

    QMenu* help = addMenu(bar, "mnuHelp", "&?");
    addItem(help, "mnuAbout", "A propos de...", QKeySequence(Qt::Key_F1),
            &FrmLantrivex::mnuAbout_Click);

    keepMenuBarColours();
    bar->installEventFilter(this);
}

// While a dialog is open the window is blocked and Qt draws the menu bar in its palette's inactive
// colours, which the Windows theme makes grey for the titles and the bar: the titles would swap
// looks with the disabled one, whose colours stay. The menu bar keeps its active colours, as
// Windows' own menus do; only a disabled title is drawn apart. The colours are taken afresh from
// what the theme gives the bar (its own palette for menu bars, given again once the window shows
// and whenever the system's colours change), never from a copy made before.
void FrmLantrivex::keepMenuBarColours() {
    QMenuBar* bar = menuBar();
    bar->setPalette(QPalette()); // the theme's palette again
    QPalette colours = bar->palette();
    for (int role = 0; role < QPalette::NColorRoles; ++role) {
        const auto r = static_cast<QPalette::ColorRole>(role);
        if (r != QPalette::NoRole) {
            colours.setBrush(QPalette::Inactive, r, colours.brush(QPalette::Active, r));
        }
    }
    bar->setPalette(colours);
}

void FrmLantrivex::createToolbar() {
    toolbar_ = new QToolBar(inner_);
    toolbar_->setObjectName(QStringLiteral("Toolbar1"));
    toolbar_->setMovable(false);
    toolbar_->setFloatable(false);
    toolbar_->setIconSize(QSize(16, 16));
    toolbar_->setToolButtonStyle(Qt::ToolButtonIconOnly);
    struct Button {
        const char* key;
        int image;
    };
    int index = 0;
    for (const Button& b : {Button{"Actualiser", 1}, Button{"Lecteurs", 2}}) {
        QAction* action = toolbar_->addAction(QIcon(toolbarImage(b.image)), QString());
        action->setObjectName(QLatin1String(b.key));
        action->setData(++index);
        if (QWidget* button = toolbar_->widgetForAction(action)) {
            button->setObjectName(QStringLiteral("Toolbar1.Buttons(%1)").arg(QLatin1String(b.key)));
            button->setFixedSize(23, 22);
        }
    }
    connect(toolbar_, &QToolBar::actionTriggered, this,
            [this](QAction* action) { Toolbar1_ButtonClick(action->data().toInt()); });
}

void FrmLantrivex::createStatusBar() {
    statusBar_ = new QStatusBar(inner_);
    statusBar_->setObjectName(QStringLiteral("StatusBar1"));
    statusBar_->setSizeGripEnabled(true);
    const int widths[3] = {7080, 1440, 1440};
    for (int i = 0; i < 3; ++i) {
        auto* panel = new StatusPanel(statusBar_);
        panel->setObjectName(QStringLiteral("StatusBar1.Panels(%1)").arg(i + 1));
        panel->setMinimumWidth(toPixels(i == 0 ? 1440 : widths[i]));
        if (i == 0) {
            panel->resize(toPixels(widths[0]), panel->height());
            statusBar_->addWidget(panel, 1);
        } else {
            statusBar_->addPermanentWidget(panel);
        }
        statusPanels_[static_cast<std::size_t>(i)] = panel;
    }
    statusPanels_[1]->setPicture(treeImage(kImageVolume));
    // The progress of the network work the window waits for, where the status bar has room.
    progress_ = new WaitProgress(statusPanels_[2]);
    progress_->setMaximumHeight(toPixels(shell::kStatusBarHeight) - 6);
    statusPanels_[2]->layout()->addWidget(progress_);
}

void FrmLantrivex::createTemplatePanel() {
    auto* title = new VolumeTitleLabel(QString(), inner_);
    title->setObjectName(indexedName("lblVolume", 0));
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    title->setAlignment(Qt::AlignCenter);
    makeOpaque(title);
    title->hide();

    auto* total = new QLabel(QStringLiteral("123"), inner_);
    total->setObjectName(indexedName("lbllblVolume", 0));
    total->setProperty("autoSize", true);
    makeOpaque(total);
    total->hide();
    title->setTotalLine(total);

    auto* model = new ResultGridModel(this);
    auto* grid = new ResultGridView(
        model, [this] { return state_.nLangue; }, inner_);
    grid->setObjectName(indexedName("lstSignatures", 0));
    grid->hide();
    connect(grid->horizontalHeader(), &QHeaderView::sectionClicked, this,
            [this](int column) { SortOnHeaderClick(0, column); });

    lblVolume_.push_back(title);
    lbllblVolume_.push_back(total);
    lstSignatures_.push_back(grid);
    columnWidths_.push_back({});
    panelTitles_.push_back(QString());
}

// ---------------------------------------------------------------------------------------------
// Geometry

void FrmLantrivex::setTwips(QWidget* control, const TwipsRect& rect) {
    twips_[control] = rect;
    int width = std::max(0, toPixels(rect.width));
    if (control->property("autoSize").toBool()) {
        width = std::max(width, control->sizeHint().width());
    }
    control->setGeometry(toPixels(rect.left), toPixels(rect.top), width,
                         std::max(0, toPixels(rect.height)));
}

TwipsRect FrmLantrivex::twipsGeometry(const QWidget* control) const {
    const auto it = twips_.find(control);
    return it == twips_.end() ? TwipsRect{} : it->second;
}

shell::PanelGeometry FrmLantrivex::panelGeometry(int k) const {
    return {twipsGeometry(lblVolume(k)), twipsGeometry(lbllblVolume(k)),
            twipsGeometry(lstSignatures(k))};
}

void FrmLantrivex::applyPanelGeometry(int k, const shell::PanelGeometry& g) {
    setTwips(lblVolume(k), g.lblVolume);
    setTwips(lbllblVolume(k), g.lbllblVolume);
    setTwips(lstSignatures(k), g.lstSignatures);
}

shell::WindowGeometry FrmLantrivex::currentGeometry() const {
    return {twipsGeometry(tree_), twipsGeometry(sizeBar_), panelGeometry(0)};
}

void FrmLantrivex::applyGeometry(const shell::WindowGeometry& g) {
    setTwips(tree_, g.tree);
    setTwips(sizeBar_, g.bar);
    applyPanelGeometry(0, g.panel0);
}

void FrmLantrivex::Form_Resize() {
    const double innerWidth = inner_->width() * kTwips;
    const double innerHeight = inner_->height() * kTwips;
    // The toolbar and the status bar align themselves to the top and the bottom edges.
    setTwips(toolbar_, {0, 0, innerWidth, shell::kToolbarHeight});
    setTwips(statusBar_,
             {0, innerHeight - shell::kStatusBarHeight, innerWidth, shell::kStatusBarHeight});

    const shell::LayoutMetrics metrics{innerWidth, innerHeight, shell::kToolbarHeight,
                                       shell::kStatusBarHeight};
    const shell::WindowGeometry g =
        shell::layoutWindow(currentGeometry(), metrics, state_.nSizeBarVLeft);
    applyGeometry(g);
    for (int k : madePanels_) {
        applyPanelGeometry(k, shell::layoutPanel(g.panel0, panelGeometry(k)));
    }
    update();
}

void FrmLantrivex::setBarColour(const QColor& colour) {
    QPalette palette = sizeBar_->palette();
    palette.setColor(QPalette::Window, colour);
    sizeBar_->setPalette(palette);
}

void FrmLantrivex::splitterMouseMove(QMouseEvent* event) {
    int buttons = 0;
    if (event->buttons() & Qt::LeftButton) {
        buttons |= 1;
    }
    if (event->buttons() & Qt::RightButton) {
        buttons |= 2;
    }
    if (event->buttons() & Qt::MiddleButton) {
        buttons |= 4;
    }
    TwipsRect bar = twipsGeometry(sizeBar_);
    const auto left = shell::dragSplitter(bar.left, buttons, event->position().x() * kTwips);
    if (!left) {
        return;
    }
    setBarColour(QColor(128, 128, 128));
    bar.left = *left;
    setTwips(sizeBar_, bar);
    sizeBar_->raise();
    sizeBar_->repaint();
}

void FrmLantrivex::splitterRelease() {
    setBarColour(palette().color(QPalette::Window));
    const shell::WindowGeometry g =
        shell::releaseSplitter(currentGeometry(), inner_->width() * kTwips);
    setTwips(tree_, g.tree);
    applyPanelGeometry(0, g.panel0);
    // A panel not made yet has the template's lefts and widths, as a made one gets them here.
    const auto columns = shell::gridColumnWidths(g.panel0.lstSignatures.width);
    std::fill(columnWidths_.begin() + 1, columnWidths_.end(), columns);
    for (int k : madePanels_) {
        applyPanelGeometry(k, shell::releasePanel(g.panel0, panelGeometry(k)));
        setGridColumnWidths(k, shell::gridColumnWidths(twipsGeometry(lstSignatures_[k]).width));
    }
}

void FrmLantrivex::setGridColumnWidths(int k, const std::array<std::int32_t, 4>& widths) {
    columnWidths_[static_cast<std::size_t>(k)] = widths;
    if (lstSignatures_[static_cast<std::size_t>(k)] == nullptr) {
        return; // applied when the panel is made
    }
    QHeaderView* header = lstSignatures_[static_cast<std::size_t>(k)]->horizontalHeader();
    // "Type" takes the rest of the grid's inner width (its half, less the frame and a scroll
    // bar), so that no horizontal scrolling is needed.
    for (int c = 0; c < 3; ++c) {
        header->resizeSection(c, toPixels(widths[static_cast<std::size_t>(c)]));
    }
    if (!header->stretchLastSection()) {
        header->resizeSection(3, toPixels(widths[3]));
    }
}

std::array<std::int32_t, 4> FrmLantrivex::gridColumnWidths(int k) const {
    if (k < 0 || k > volumePanelCount()) {
        return {};
    }
    return columnWidths_[static_cast<std::size_t>(k)];
}

// ---------------------------------------------------------------------------------------------
// Events

bool FrmLantrivex::event(QEvent* event) {
    const bool result = QMainWindow::event(event);
    if (event->type() == QEvent::WindowActivate) {
        Form_Activate();
    }
    return result;
}

void FrmLantrivex::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    // Where the system does not activate a new window by itself, the first activation still
    // follows the first showing.
    if (state_.FlagFirstActivation) {
        QMetaObject::invokeMethod(
            this, [this] { Form_Activate(); }, Qt::QueuedConnection);
    }
}

bool FrmLantrivex::eventFilter(QObject* watched, QEvent* event) {
    if (watched == menuWidget()) {
        const QEvent::Type type = event->type();
        if (type == QEvent::Polish || type == QEvent::ApplicationPaletteChange ||
            type == QEvent::StyleChange) {
            keepMenuBarColours();
        }
    } else if (watched == inner_ && event->type() == QEvent::Resize) {
        Form_Resize();
    } else if (watched == sizeBar_) {
        if (event->type() == QEvent::MouseMove) {
            splitterMouseMove(static_cast<QMouseEvent*>(event));
            return true;
        }
        if (event->type() == QEvent::MouseButtonRelease) {
            splitterRelease();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void FrmLantrivex::closeEvent(QCloseEvent* event) {
    if (!quitting_ && settings_) {
        shell::WindowPlacement placement;
        placement.windowState = isMinimized()   ? shell::kWindowMinimized
                                : isMaximized() ? shell::kWindowMaximized
                                                : shell::kWindowNormal;
        placement.left = static_cast<std::int32_t>(x() * kTwips);
        placement.top = static_cast<std::int32_t>(y() * kTwips);
        placement.width = static_cast<std::int32_t>(width() * kTwips);
        placement.height = static_cast<std::int32_t>(height() * kTwips);
        placement.sizeBarVLeft =
            static_cast<std::int32_t>(std::lround(twipsGeometry(sizeBar_).left));
        settings_->writePositions(placement);
    }
    event->accept();
}

// ---------------------------------------------------------------------------------------------
// Start-up and activation

bool FrmLantrivex::Form_Load() {
    state_.FlagFirstActivation = true;

    const std::string folder = platform_.location.settingsFolder();
    const char separator = platform_.location.pathSeparator();
    state_.sSettingsFile = folder + separator + std::string(shell::kSettingsFileName);
    state_.sSignaturesFile() = folder + separator + "Signatures.txt";
    settings_ = std::make_unique<shell::Settings>(platform_.profiles, state_.sSettingsFile);

    setWindowTitle(text(kProductName) + QLatin1Char(' ') + text(kProductVersion));
    setWindowTitle(windowTitle() + QStringLiteral(" - ") +
                   text(shell::systemText(platform_.version.query())));

    // The design size: the inner area of the design plus the menu bar.
    const int designWidth = toPixels(shell::kDesignInnerWidth);
    const int designHeight = toPixels(shell::kDesignInnerHeight) + menuBar()->sizeHint().height();
    shell::WindowPlacement defaults;
    defaults.left = kDesignLeft;
    defaults.top = kDesignTop;
    defaults.width = static_cast<std::int32_t>(designWidth * kTwips);
    defaults.height = static_cast<std::int32_t>(designHeight * kTwips);
    defaults.sizeBarVLeft = shell::defaultSizeBarVLeft(shell::kDesignInnerWidth);
    const shell::WindowPlacement placement = settings_->readPositions(defaults);
    state_.nSizeBarVLeft = placement.sizeBarVLeft;
    state_.nLangue = settings_->readLangue();

    if (platform_.instance.anotherInstanceRunning()) {
        notifier_.message(shell::texts::alreadyRunning(state_.nLangue),
                          platform::MessageIcon::Exclamation);
        return false;
    }

    state_.nServeurMac = settings_->readServeurMac();
    checkProduct(state_.nServeurMac);

    move(toPixels(kDesignLeft), toPixels(kDesignTop));
    resize(designWidth, designHeight);
    if (placement.windowState == shell::kWindowMinimized) {
        setWindowState(Qt::WindowMinimized);
    } else if (placement.windowState == shell::kWindowMaximized) {
        setWindowState(Qt::WindowMaximized);
    } else {
        move(toPixels(placement.left), toPixels(placement.top));
        resize(toPixels(placement.width), toPixels(placement.height));
    }
    TwipsRect bar = twipsGeometry(sizeBar_);
    bar.left = state_.nSizeBarVLeft;
    setTwips(sizeBar_, bar);
    return true;
}

void FrmLantrivex::Form_Activate() {
    // A message box of the activation itself activates the window again when it closes.
    if (!state_.FlagFirstActivation || activating_) {
        return;
    }
    activating_ = true;

    setUpResultGrid(0);
    lblVolume(0)->show();
    lstSignatures(0)->show();

    MajLangue(state_.nLangue);

    setStatusText(1, text(shell::texts::loadingSignatures(state_.nLangue)));
    signatures::LoadSignatures(state_.signatures, platform_.files, notifier_, state_.nLangue);

    refreshDiscovery(true);

    setStatusText(1, QString());
    tree_->setCurrentItem(nullptr);
    tree_->clearSelection();

    state_.FlagFirstActivation = false;
    activating_ = false;
}

void FrmLantrivex::refreshDiscovery(bool announce) {
    if (work_->waiting()) {
        return;
    }
    if (announce) {
        setStatusText(1, text(shell::texts::lookingMachines(state_.nLangue)));
    }
    EnumConnectedDrives();
    if (announce) {
        setStatusText(1, text(shell::texts::lookingVolumes(state_.nLangue)));
    }
    MajTreeCatalogue();
}

void FrmLantrivex::EnumConnectedDrives() {
    discovery::ConnectedMachines machines;
    work_->run([&] { discovery::EnumConnectedDrives(platform_.connections, machines); });
    lstDrives_->clear();
    lstServeurs_->clear();
    lstConnections_->clear();
    for (const std::string& line : machines.lstDrives) {
        lstDrives_->addItem(text(line));
    }
    for (const std::string& name : machines.lstServeurs) {
        lstServeurs_->addItem(text(name));
    }
    for (const std::string& connections : machines.lstConnections) {
        lstConnections_->addItem(text(connections));
    }
    firstIsThisComputer_ = machines.firstIsThisComputer;
}

void FrmLantrivex::MajTreeCatalogue() {
    // The machines as the last enumeration left them in the working lists.
    discovery::ConnectedMachines machines;
    for (int i = 0; i < lstServeurs_->count(); ++i) {
        machines.lstServeurs.push_back(lstServeurs_->item(i)->text().toStdString());
        machines.lstConnections.push_back(i < lstConnections_->count()
                                              ? lstConnections_->item(i)->text().toStdString()
                                              : std::string());
    }
    machines.firstIsThisComputer = firstIsThisComputer_;

    // The machines are asked while the window waits, showing the tree as it was and how many
    // machines have answered.
    discovery::MacServerLookup lookup(platform_.registry, state_.nServeurMac);
    analysis::Catalogue catalogue;
    progress_->showMachines(0, machines.lstServeurs.size(), state_.nLangue);
    work_->run(
        [&] {
            catalogue = analysis::BuildCatalogue(
                machines, lookup, platform_.folders,
                [this](std::size_t asked, std::size_t total) { work_->progress(asked, total); });
        },
        [this](std::uint64_t asked, std::uint64_t total) {
            progress_->showMachines(asked, total, state_.nLangue);
        });
    progress_->hide();
    // An SMB credentials file that cannot be used is told once per rebuild (no machine was asked).
    for (const platform::RegistryProblem& problem : platform_.registry.takeProblems()) {
        if (problem.credentials && problem.damaged) {
            notifier_.message(std::string(lantrivex::tr(
                                  state_.nLangue, "Fichier d'identification SMB inutilisable : ",
                                  "Unusable SMB credentials file: ")) +
                                  problem.file + "\r\n" +
                                  (state_.nLangue == kFrench ? problem.french : problem.english),
                              platform::MessageIcon::Exclamation);
        }
    }

    clearTree();
    unloadVolumePanels();

    // Nodes in the order of building, a parent before its children; one panel per volume, in the
    // same order, so that panel k is the k-th volume. The tree is filled at once and sorted once.
    std::vector<QTreeWidgetItem*> items;
    items.reserve(catalogue.nodes.size());
    QList<QTreeWidgetItem*> roots;
    for (const analysis::CatalogueNode& node : catalogue.nodes) {
        QVariant tag;
        if (node.kind == analysis::CatalogueNodeKind::Volume) {
            const auto& panel = catalogue.panels[static_cast<std::size_t>(node.panel - 1)];
            tag = loadVolumePanel(text(panel.title));
        } else if (node.kind == analysis::CatalogueNodeKind::Machine) {
            tag = text(node.tag);
        }
        // Two volumes with the same root path are both shown, each with its own panel.
        QTreeWidgetItem* item = makeTreeNode(text(node.key), text(node.text), node.image, tag);
        if (node.failure != platform::AccessFailure::None) {
            item->setData(0, FailureRole, static_cast<int>(node.failure));
            setNodeToolTip(item);
        }
        if (node.parent >= 0) {
            items[static_cast<std::size_t>(node.parent)]->addChild(item);
        } else {
            roots.append(item);
        }
        items.push_back(item);
    }
    tree_->setSortingEnabled(false);
    tree_->addTopLevelItems(roots);
    tree_->setSortingEnabled(true);
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (catalogue.nodes[i].expanded) {
            items[i]->setExpanded(true);
        }
    }
    // After a rebuild no node is selected and no panel is visible.
    tree_->setCurrentItem(nullptr);
    tree_->clearSelection();
    Form_Resize();
}

// ---------------------------------------------------------------------------------------------
// Menus, toolbar, language, product

void FrmLantrivex::mnuActualiser_Click() {
    refreshDiscovery(false);
}

void FrmLantrivex::mnuConnecter_Click() {
    emit drivesDialogRequested();
    // Created on each opening, filled from the drive lines of the last refresh, discarded when
    // closed; the main window takes no input while it is open.
    std::vector<std::string> lines;
    for (int i = 0; i < lstDrives_->count(); ++i) {
        lines.push_back(lstDrives_->item(i)->text().toStdString());
    }
    auto* dialog = new FrmConnecter(platform_.drives, lines, state_.nLangue, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::ApplicationModal);
    dialog->show();
}

void FrmLantrivex::mnuQuitter_Click() {
    // Ends at once: the placement of this run is not written.
    quitting_ = true;
    endProgram();
}

void FrmLantrivex::endProgram() {
    QCoreApplication::exit(0);
}

void FrmLantrivex::mnuGestionSignatures_Click() {
    emit signatureManagerRequested();
}

void FrmLantrivex::mnuAbout_Click() {
    emit aboutRequested();
}

void FrmLantrivex::Toolbar1_ButtonClick(int index) {
    if (index == 1) {
        refreshDiscovery(true);
        setStatusText(1, QString());
    } else if (index == 2) {
        mnuConnecter_Click();
    }
}

void FrmLantrivex::setNodeToolTip(QTreeWidgetItem* item) {
    QString tip = item->data(0, KeyRole).toString();
    const QVariant failure = item->data(0, FailureRole);
    if (failure.isValid()) {
        tip += QLatin1Char('\n') +
               text(platform::accessFailureText(
                   static_cast<platform::AccessFailure>(failure.toInt()), state_.nLangue));
    }
    item->setToolTip(0, tip);
}

void FrmLantrivex::MajLangue(LanguageFlag langue) {
    // The reasons machines show no server follow the language.
    for (int i = 0; i < tree_->topLevelItemCount(); ++i) {
        setNodeToolTip(tree_->topLevelItem(i));
    }
    for (const shell::CaptionEntry& entry : shell::mainWindowCaptions()) {
        const QString control = text(entry.control);
        switch (entry.target) {
        case shell::CaptionTarget::Caption:
            if (QMenu* menu = menus_.value(control)) {
                menu->setTitle(text(entry.text(langue)));
            } else if (QAction* action = actions_.value(control)) {
                action->setText(text(entry.text(langue)));
            }
            break;
        case shell::CaptionTarget::CheckMark:
            if (QAction* action = actions_.value(control)) {
                action->setChecked(entry.checked(langue));
            }
            break;
        case shell::CaptionTarget::ToolTip:
            if (QAction* button = toolbarButton(text(entry.buttonKey))) {
                button->setToolTip(text(entry.text(langue)));
            }
            break;
        }
    }
}

void FrmLantrivex::mnuAnglais_Click() {
    state_.nLangue = kEnglish;
    MajLangue(state_.nLangue);
    if (settings_) {
        settings_->writeLangue(kEnglish);
    }
}

void FrmLantrivex::mnuFrancais_Click() {
    state_.nLangue = kFrench;
    MajLangue(state_.nLangue);
    if (settings_) {
        settings_->writeLangue(kFrench);
    }
}

void FrmLantrivex::checkProduct(std::int16_t code) {
    actions_.value(QStringLiteral("mnuMacFile"))->setChecked(code != 1 && code != 2);
    actions_.value(QStringLiteral("mnuMacServerIP"))->setChecked(code == 1);
    actions_.value(QStringLiteral("mnuExtremeZIP"))->setChecked(code == 2);
}

void FrmLantrivex::changeProduct(std::int16_t code) {
    const std::int16_t previous = state_.nServeurMac;
    checkProduct(code);
    state_.nServeurMac = code;
    if (code != previous && !work_->waiting()) {
        if (settings_) {
            settings_->writeServeurMac(code);
        }
        MajTreeCatalogue();
    }
}

void FrmLantrivex::mnuMacFile_Click() {
    changeProduct(0);
}
void FrmLantrivex::mnuMacServerIP_Click() {
    changeProduct(1);
}
void FrmLantrivex::mnuExtremeZIP_Click() {
    changeProduct(2);
}

QAction* FrmLantrivex::toolbarButton(const QString& key) const {
    for (QAction* action : toolbar_->actions()) {
        if (action->objectName() == key) {
            return action;
        }
    }
    return nullptr;
}

// ---------------------------------------------------------------------------------------------
// Status bar

void FrmLantrivex::setStatusText(int panel, const QString& value) {
    if (panel >= 1 && panel <= 3) {
        statusPanels_[static_cast<std::size_t>(panel - 1)]->setText(value);
    }
}

QString FrmLantrivex::statusText(int panel) const {
    if (panel >= 1 && panel <= 3) {
        return statusPanels_[static_cast<std::size_t>(panel - 1)]->text();
    }
    return {};
}

bool FrmLantrivex::statusPictureShown(int panel) const {
    return panel >= 1 && panel <= 3 &&
           statusPanels_[static_cast<std::size_t>(panel - 1)]->hasPicture();
}

// ---------------------------------------------------------------------------------------------
// Tree and panels

QTreeWidgetItem* FrmLantrivex::addTreeNode(QTreeWidgetItem* parent, const QString& key,
                                           const QString& caption, int image, const QVariant& tag,
                                           bool expanded) {
    if (nodesByKey_.contains(key)) {
        return nullptr; // keys are unique in the tree
    }
    return insertTreeNode(parent, key, caption, image, tag, expanded);
}

QTreeWidgetItem* FrmLantrivex::makeTreeNode(const QString& key, const QString& caption, int image,
                                            const QVariant& tag) {
    if (nodeIcons_[1].isNull()) { // the eight images as icons, made once
        for (int i = 1; i <= 8; ++i) {
            nodeIcons_[static_cast<std::size_t>(i)] = QIcon(treeImage(i));
        }
    }
    auto* item = new CatalogueNodeItem(caption);
    item->setData(0, KeyRole, key);
    item->setData(0, TagRole, tag);
    item->setData(0, ImageRole, image);
    if (image >= 1 && image <= 8) {
        item->setIcon(0, nodeIcons_[static_cast<std::size_t>(image)]);
    }
    item->setToolTip(0, key);
    if (!nodesByKey_.contains(key)) {
        nodesByKey_.insert(key, item);
    }
    return item;
}

QTreeWidgetItem* FrmLantrivex::insertTreeNode(QTreeWidgetItem* parent, const QString& key,
                                              const QString& caption, int image,
                                              const QVariant& tag, bool expanded) {
    QTreeWidgetItem* item = makeTreeNode(key, caption, image, tag);
    if (parent != nullptr) {
        parent->addChild(item);
    } else {
        tree_->addTopLevelItem(item);
    }
    item->setExpanded(expanded);
    item->setSelected(false);
    return item;
}

QTreeWidgetItem* FrmLantrivex::findTreeNode(const QString& key) const {
    return nodesByKey_.value(key, nullptr);
}

void FrmLantrivex::clearTree() {
    for (int i = tree_->topLevelItemCount() - 1; i >= 0; --i) {
        delete tree_->takeTopLevelItem(i);
    }
    nodesByKey_.clear();
}

QLabel* FrmLantrivex::lblVolume(int k) const {
    return k >= 0 && k <= volumePanelCount() ? volumePanel(k).title : nullptr;
}

QLabel* FrmLantrivex::lbllblVolume(int k) const {
    return k >= 0 && k <= volumePanelCount() ? volumePanel(k).total : nullptr;
}

ResultGridView* FrmLantrivex::lstSignatures(int k) const {
    return k >= 0 && k <= volumePanelCount() ? volumePanel(k).grid : nullptr;
}

bool FrmLantrivex::volumePanelMade(int k) const {
    return k >= 0 && k <= volumePanelCount() && lblVolume_[static_cast<std::size_t>(k)] != nullptr;
}

FrmLantrivex::PanelWidgets FrmLantrivex::volumePanel(int k) const {
    const auto i = static_cast<std::size_t>(k);
    if (lblVolume_[i] == nullptr) {
        // Made when first asked for (shown, analysed or looked at): a catalogue of thousands of
        // volumes costs a title, and a grid only for the volumes the user opens.
        const_cast<FrmLantrivex*>(this)->makeVolumePanel(k);
    }
    return {lblVolume_[i], lbllblVolume_[i], lstSignatures_[i]};
}

ResultGridModel* FrmLantrivex::gridModel(int k) const {
    ResultGridView* grid = lstSignatures(k);
    return grid != nullptr ? grid->gridModel() : nullptr;
}

void FrmLantrivex::setUpResultGrid(int k) {
    ResultGridModel* model = gridModel(k);
    model->clearRows();
    setGridColumnWidths(k, shell::gridColumnWidths(twipsGeometry(lstSignatures(k)).width));
    model->setColumnAlignment(0, Qt::AlignCenter);
    model->setColumnAlignment(1, Qt::AlignCenter);
    model->setColumnAlignment(2, Qt::AlignLeft | Qt::AlignVCenter);
}

int FrmLantrivex::loadVolumePanel(const QString& title) {
    const int k = volumePanelCount() + 1;
    lblVolume_.push_back(nullptr);
    lbllblVolume_.push_back(nullptr);
    lstSignatures_.push_back(nullptr);
    panelTitles_.push_back(title);
    // The grid's columns as its set-up gives them now, from the template's width.
    columnWidths_.push_back(shell::gridColumnWidths(twipsGeometry(lstSignatures_[0]).width));
    return k;
}

void FrmLantrivex::makeVolumePanel(int k) {
    const auto i = static_cast<std::size_t>(k);
    QLabel* title0 = lblVolume_[0];
    ResultGridView* grid0 = lstSignatures_[0];

    auto* titleK = new VolumeTitleLabel(panelTitles_[i], inner_);
    titleK->setObjectName(indexedName("lblVolume", k));
    titleK->setFont(title0->font());
    titleK->setAlignment(title0->alignment());
    makeOpaque(titleK);
    titleK->hide();

    auto* totalK = new QLabel(text(shell::totalText(0)), inner_);
    totalK->setObjectName(indexedName("lbllblVolume", k));
    totalK->setProperty("autoSize", true);
    makeOpaque(totalK);
    totalK->hide();
    titleK->setTotalLine(totalK);

    auto* model = new ResultGridModel(this);
    auto* gridK = new ResultGridView(
        model, [this] { return state_.nLangue; }, inner_);
    gridK->setObjectName(indexedName("lstSignatures", k));
    gridK->setFont(grid0->font());
    gridK->hide();
    connect(gridK->horizontalHeader(), &QHeaderView::sectionClicked, this,
            [this, k](int column) { SortOnHeaderClick(k, column); });

    lblVolume_[i] = titleK;
    lbllblVolume_[i] = totalK;
    lstSignatures_[i] = gridK;
    madePanels_.push_back(k);
    totalK->raise();
    sizeBar_->raise();

    // A panel's geometry is always the template's (the layout and the splitter release copy it).
    applyPanelGeometry(k, panelGeometry(0));
    ResultGridModel* gridModelK = gridK->gridModel();
    gridModelK->clearRows();
    setGridColumnWidths(k, columnWidths_[i]);
    gridModelK->setColumnAlignment(0, Qt::AlignCenter);
    gridModelK->setColumnAlignment(1, Qt::AlignCenter);
    gridModelK->setColumnAlignment(2, Qt::AlignLeft | Qt::AlignVCenter);
}

void FrmLantrivex::unloadVolumePanels() {
    std::sort(madePanels_.begin(), madePanels_.end(), std::greater<>());
    for (int k : madePanels_) {
        const auto i = static_cast<std::size_t>(k);
        for (QWidget* control :
             {static_cast<QWidget*>(lblVolume_[i]), static_cast<QWidget*>(lbllblVolume_[i]),
              static_cast<QWidget*>(lstSignatures_[i])}) {
            twips_.erase(control);
        }
        delete lblVolume_[i];
        delete lbllblVolume_[i];
        ResultGridModel* model = lstSignatures_[i]->gridModel();
        delete lstSignatures_[i];
        delete model;
    }
    madePanels_.clear();
    lblVolume_.resize(1);
    lbllblVolume_.resize(1);
    lstSignatures_.resize(1);
    columnWidths_.resize(1);
    panelTitles_.resize(1);
}

// ---------------------------------------------------------------------------------------------
// Volume analysis

char FrmLantrivex::decimalSeparator() const {
    const QString point = QLocale().decimalPoint();
    return point.size() == 1 && point.at(0).unicode() < 0x80
               ? static_cast<char>(point.at(0).unicode())
               : '.';
}

void FrmLantrivex::SelectCatalogueNode(QTreeWidgetItem* node) {
    if (node == nullptr || work_->waiting()) {
        return;
    }
    setStatusText(1, text(shell::texts::analysingVolume(state_.nLangue)));
    statusPanels_[1]->setPicture(QPixmap());
    setStatusText(2, QString());

    const QString key = node->data(0, KeyRole).toString();
    if (node->data(0, ImageRole).toInt() == kImageVolume) {
        const int k = static_cast<std::int16_t>(node->data(0, TagRole).toInt());
        lstSignatures(0)->show();
        for (int i : madePanels_) {
            lblVolume(i)->hide();
            lbllblVolume(i)->hide();
            lstSignatures(i)->hide();
        }
        repaint();
        // A tag that names no loaded panel (the tree was filled without one) reads nothing.
        if (k >= 1 && k <= volumePanelCount()) {
            if (gridModel(k)->rowCount() == 0) {
                AnalyseMacVolumeIndex(key, k);
            }
            lstSignatures(0)->hide();
            lblVolume(k)->show();
            lbllblVolume(k)->show();
            lstSignatures(k)->show();
        } else {
            lstSignatures(0)->hide();
        }
    }
    setStatusText(1, key);
}

void FrmLantrivex::AnalyseMacVolumeIndex(const QString& volumeRoot, int k) {
    if (k < 1 || k > volumePanelCount()) {
        return;
    }
    // The stream is read while the window waits, showing how much of it has been read; the
    // reader's messages reach their boxes here, in order.
    const QByteArray root = volumeRoot.toUtf8();
    const LanguageFlag langue = state_.nLangue;
    WorkerNotifier notifier(*work_, notifier_);
    std::optional<analysis::ScanResult> result;
    work_->run(
        [&] {
            result = analysis::ReadVolumeIndex(
                std::string_view(root.constData(), static_cast<std::size_t>(root.size())),
                platform_.streams, notifier, langue, [this](std::uint64_t read, std::int64_t size) {
                    work_->progress(read,
                                    static_cast<std::uint64_t>(std::max<std::int64_t>(size, 0)));
                });
        },
        [this](std::uint64_t read, std::uint64_t size) { progress_->showBytes(read, size); });
    progress_->hide();
    if (!result) {
        return;
    }
    QLabel* total = lbllblVolume(k);
    total->setText(text(shell::totalText(result->total)));
    setTwips(total, twipsGeometry(total));

    std::vector<shell::ResultRow> rows =
        shell::buildResultRows(*result, state_.signatures, decimalSeparator());
    const QString point = QLocale().decimalPoint();
    if (decimalSeparator() == '.' && point != QLatin1String(".")) {
        const QByteArray separator = point.toUtf8();
        for (shell::ResultRow& row : rows) {
            const auto dot = row.percentText.find('.');
            if (dot != std::string::npos) {
                row.percentText.replace(dot, 1, separator.constData(),
                                        static_cast<std::size_t>(separator.size()));
            }
        }
    }
    ResultGridView* grid = lstSignatures(k);
    ResultGridModel* model = grid->gridModel();
    model->setRows(std::move(rows));
    // The header cell "#" becomes the current cell; the rows open by count, descending.
    grid->clearSelection();
    grid->setCurrentIndex(QModelIndex());
    model->sortRows(0, ResultGridModel::SortKind::Numeric, Qt::DescendingOrder);
    model->setHeaderMark(0, true, ResultGridModel::SortMark::Down);
}

void FrmLantrivex::SortOnHeaderClick(int g, int column) {
    ResultGridModel* model = gridModel(g);
    if (model == nullptr || column < 0 || column >= model->columnCount()) {
        return;
    }
    for (int i = 0; i < model->columnCount(); ++i) {
        if (i != column) {
            model->setHeaderMark(i, false, ResultGridModel::SortMark::None);
        }
    }
    const bool wasUp = model->headerMark(column) == ResultGridModel::SortMark::Up;
    model->setHeaderMark(column, true,
                         wasUp ? ResultGridModel::SortMark::Down : ResultGridModel::SortMark::Up);
    model->sortRows(column, ResultGridModel::sortKindOf(ResultGridModel::headerText(column)),
                    wasUp ? Qt::DescendingOrder : Qt::AscendingOrder);
}

} // namespace lantrivex::ui
