#include "shell/MainWindow.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenuBar>
#include <QPainter>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWhatsThis>

#include "metadata/MetadataEntry.h"
#include "metadata/PhotoFacts.h"
#include "ports/Messages.h"
#include "shell/BackgroundScan.h"
#include "shell/InterimPorts.h"
#include "shell/KeyboardRouter.h"
#include "shell/PhotoListModel.h"
#include "shell/PreviewDecoder.h"
#include "shell/ShellApplication.h"

namespace lumatag::shell {

// The folder path: one line, shortened in the middle when it does not fit.
class PathLabel final : public QFrame {
 public:
  explicit PathLabel(QWidget* parent = nullptr) : QFrame(parent) {
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  }
  void SetText(const QString& text) {
    text_ = text;
    setAccessibleName(text);
    update();
  }
  const QString& Text() const { return text_; }
  QSize sizeHint() const override {
    const QFontMetrics metrics(font());
    return {metrics.averageCharWidth() * 30, metrics.height() + 8};
  }
  QSize minimumSizeHint() const override {
    const QFontMetrics metrics(font());
    return {metrics.averageCharWidth() * 10, metrics.height() + 8};
  }

 protected:
  void paintEvent(QPaintEvent* event) override {
    QFrame::paintEvent(event);
    QPainter painter(this);
    const QRect inner = contentsRect().adjusted(4, 0, -4, 0);
    painter.drawText(inner, Qt::AlignVCenter | Qt::AlignLeft,
                     fontMetrics().elidedText(text_, Qt::ElideMiddle, inner.width()));
  }

 private:
  QString text_;
};

namespace {

// Orientation (0x0112) of a photo, 1 when it has none.
int OrientationOf(const PhotoEntry& photo) {
  const MetadataEntry* entry = FindMetadataEntry(photo, 0x0112);
  if (entry == nullptr || entry->type != kTypeShort || entry->count < 1) return 1;
  if (entry->data != nullptr && entry->DataSize() >= 2) {
    std::uint16_t value = 0;
    std::memcpy(&value, entry->data, sizeof value);
    return value;
  }
  return static_cast<int>(entry->rawValue & 0xFFFF);
}

struct ControlText {
  int control;
  std::uint16_t text;  // 0: none
  std::uint16_t tip;
};

constexpr ControlText kControlTexts[] = {
    {kStepFolder, IDS_STEP_FOLDER, IDS_TIP_FOLDER_PATH},
    {kFolderButton, IDS_BTN_FOLDER, IDS_TIP_FOLDER_BUTTON},
    {kFolderPath, 0, IDS_TIP_FOLDER_PATH},
    {kStepPreview, IDS_STEP_PREVIEW, IDS_TIP_PREVIEW},
    {kPreview, 0, IDS_TIP_PREVIEW},
    {kFirstButton, 0, IDS_TIP_FIRST},
    {kPreviousButton, 0, IDS_TIP_PREVIOUS},
    {kNextButton, 0, IDS_TIP_NEXT},
    {kLastButton, 0, IDS_TIP_LAST},
    {kDeleteButton, 0, IDS_TIP_DELETE_PHOTO},
    {kNavigationLabel, IDS_LBL_NAVIGATION_MODE, IDS_TIP_NAVIGATION_MODE},
    {kNavigationBox, 0, IDS_TIP_NAVIGATION_MODE},
    {kPhotoIndexText, 0, IDS_TIP_PHOTO_INDEX},
    {kUnnamedCountText, 0, IDS_TIP_UNNAMED_COUNT},
    {kPhotoBoxLabel, IDS_LBL_ALL_PHOTOS, IDS_TIP_ALL_PHOTOS},
    {kPhotoBox, 0, IDS_TIP_ALL_PHOTOS},
    {kStepPattern, IDS_STEP_PATTERN, IDS_TIP_PATTERN},
    {kPatternBox, 0, IDS_TIP_PATTERN},
    {kStepBaseName, IDS_STEP_BASE_NAME, IDS_TIP_BASE_NAME},
    {kBaseNameBox, 0, IDS_TIP_BASE_NAME},
    {kStepNewName, IDS_STEP_NEW_NAME, IDS_TIP_NEW_NAME},
    {kNewNameBox, 0, IDS_TIP_NEW_NAME},
    {kRenameButton, IDS_BTN_RENAME, IDS_TIP_RENAME},
    {kRenameRemainingButton, IDS_BTN_RENAME_REMAINING, IDS_TIP_RENAME_REMAINING},
};

constexpr int kHelpIds[kControlCount] = {0,   146, 147, 0,   148, 149, 150, 151,
                                         152, 153, 154, 154, 155, 156, 157, 157,
                                         0,   158, 0,   160, 0,   161, 162, 163};

// Base sizes of the layout.
constexpr QSize kButtonBaseSize(70, 30);

}  // namespace

int MainWindow::HelpIdOf(int control) {
  return control >= 0 && control < kControlCount ? kHelpIds[control] : 0;
}

MainWindow::MainWindow(ShellApplication& app) : app_(app) {}

MainWindow::~MainWindow() {
  if (router_ != nullptr) qApp->removeEventFilter(router_);
}

QString MainWindow::Text(std::uint16_t id) const {
  return ToQString(app_.Context().resourceModule->Text(id));
}

bool MainWindow::Build() {
  setWindowTitle(ToQString(app_.Context().title.View()));
  BuildMenu();
  setCentralWidget(BuildSteps());
  statusText_ = new QLabel(Text(IDS_STATUS_READY), this);
  statusBar()->addWidget(statusText_, 1);
  scanProgress_ = new QProgressBar(this);
  scanProgress_->setMaximumWidth(200);
  scanCancel_ = new QPushButton(Text(IDS_BTN_CANCEL), this);
  statusBar()->addPermanentWidget(scanProgress_);
  statusBar()->addPermanentWidget(scanCancel_);
  scanProgress_->hide();
  scanCancel_->hide();
  connect(scanCancel_, &QPushButton::clicked, this, &MainWindow::scanCancelRequested);
  scan_ = new BackgroundScan(*this, [this] { app_.ShowMainWindow(); });
  connect(this, &MainWindow::scanCancelRequested, scan_, &BackgroundScan::Cancel);
  ApplyStatusDisplay(app_.WindowRecord().statusDisplay);
  // Texts, tooltips and pop-up help of the controls.
  for (const ControlText& entry : kControlTexts) {
    QWidget* control = Control(entry.control);
    if (control == nullptr) continue;
    if (entry.text != 0) {
      if (auto* label = qobject_cast<QLabel*>(control)) label->setText(Text(entry.text));
      if (auto* button = qobject_cast<QAbstractButton*>(control)) button->setText(Text(entry.text));
    }
    tips_[static_cast<std::size_t>(entry.control)] = Text(entry.tip);
    const int helpId = kHelpIds[entry.control];
    if (helpId != 0) {
      QString popup = app_.Help().PopupText(helpId);
      if (popup.isEmpty()) popup = Text(entry.tip);
      control->setWhatsThis(popup);
      control->setProperty("helpId", helpId);
      // The edit part of the base-name box counts as the box.
      if (auto* combo = qobject_cast<QComboBox*>(control); combo && combo->lineEdit()) {
        combo->lineEdit()->setWhatsThis(popup);
      }
    }
  }
  ApplyWindowTips(app_.Naming().showWindowTips);
  ConnectControls();
  router_ = new KeyboardRouter(this, [this](int command) { RunCommand(command); });
  qApp->installEventFilter(router_);
  return true;
}

void MainWindow::BuildMenu() {
  auto add = [this](QMenu* menu, std::uint16_t text, int command, const QKeySequence& keys = {}) {
    QAction* action = menu->addAction(Text(text));
    // The keys are shown only; the accelerator table runs them.
    if (!keys.isEmpty())
      action->setText(Text(text) + QLatin1Char('\t') + keys.toString(QKeySequence::NativeText));
    connect(action, &QAction::triggered, this, [this, command] { RunCommand(command); });
    actions_.emplace_back(command, action);
    return action;
  };
  QMenu* file = menuBar()->addMenu(Text(IDS_MENU_FILE));
  add(file, IDS_MENU_EXIT, kCmdExit, QKeySequence(Qt::ALT | Qt::Key_F4));
  QMenu* edit = menuBar()->addMenu(Text(IDS_MENU_EDIT));
  // Undo Rename: enabled while the working folder has a batch of renames to undo.
  QAction* undo =
      add(edit, IDS_MENU_UNDO_RENAME, kCmdUndoRename, QKeySequence(Qt::CTRL | Qt::Key_Z));
  undo->setEnabled(app_.Host().CanUndoRename());
  connect(edit, &QMenu::aboutToShow, undo,
          [this, undo] { undo->setEnabled(app_.Host().CanUndoRename()); });
  edit->addSeparator();
  add(edit, IDS_MENU_PATTERNS_MANAGER, kCmdPatternsManager)
      ->setEnabled(static_cast<bool>(app_.Dialogs().patternsManager));
  add(edit, IDS_MENU_EXTENSION_MANAGER, kCmdExtensionManager)
      ->setEnabled(static_cast<bool>(app_.Dialogs().extensionManager));
  add(edit, IDS_MENU_OPTIONS, kCmdOptions)->setEnabled(static_cast<bool>(app_.Dialogs().options));
  QMenu* help = menuBar()->addMenu(Text(IDS_MENU_HELP));
  add(help, IDS_MENU_HELP_TOPICS, kCmdHelp, QKeySequence(Qt::Key_F1));
  add(help, IDS_MENU_USER_GUIDE, kCmdUserGuide);
  help->addSeparator();
  add(help, IDS_MENU_CHECK_UPDATES, kCmdCheckUpdates)
      ->setEnabled(static_cast<bool>(app_.Dialogs().checkUpdates));
  add(help, IDS_MENU_CRASH_LOGS, kCmdCrashLogs)
      ->setEnabled(static_cast<bool>(app_.Dialogs().crashLogs));
  help->addSeparator();
  add(help, IDS_MENU_CONTACT, kCmdContact)->setEnabled(static_cast<bool>(app_.Dialogs().contact));
  add(help, IDS_MENU_LICENSE, kCmdLicense);
  help->addSeparator();
  add(help, IDS_MENU_ABOUT, kCmdAbout, QKeySequence(Qt::ALT | Qt::Key_Question))
      ->setEnabled(static_cast<bool>(app_.Dialogs().about));
  QAction* contextHelp = menuBar()->addAction(Text(IDS_MENU_CONTEXT_HELP));
  connect(contextHelp, &QAction::triggered, this, [this] { RunCommand(kCmdContextHelp); });
  actions_.emplace_back(kCmdContextHelp, contextHelp);
}

QAction* MainWindow::MenuAction(int command) const {
  for (const auto& [id, action] : actions_) {
    if (id == command) return action;
  }
  return nullptr;
}

QPixmap MainWindow::StepPicture(int step) const {
  static constexpr int kHeadings[] = {kStepFolder, kStepPreview, kStepPattern, kStepBaseName,
                                      kStepNewName};
  if (step < 1 || step > 5) return {};
  QWidget* central = centralWidget();
  const QWidget* heading = Control(kHeadings[step - 1]);
  if (central == nullptr || heading == nullptr) return {};
  // A few pixels above the heading, clear of the step before it.
  const int top = std::max(0, heading->y() - 4);
  const int bottom = step < 5 ? Control(kHeadings[step])->y() - 4 : central->height();
  return central->grab(QRect(0, top, central->width(), bottom - top));
}

QWidget* MainWindow::BuildSteps() {
  auto* central = new QWidget(this);
  auto* steps = new QVBoxLayout(central);
  steps->setContentsMargins(10, 8, 10, 8);
  steps->setSpacing(4);
  QFont headingFont = font();
  headingFont.setBold(true);
  auto stepLabel = [&](int number) {
    auto* label = new QLabel(central);
    label->setFont(headingFont);
    controls_[static_cast<std::size_t>(number)] = label;
    return label;
  };
  auto setBase = [](QWidget* button) {
    button->setMinimumSize(kButtonBaseSize);
    button->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Fixed);
  };

  // 1. Folder.
  steps->addWidget(stepLabel(kStepFolder));
  auto* folderRow = new QHBoxLayout;
  folderButton_ = new QPushButton(central);
  setBase(folderButton_);
  folderPath_ = new PathLabel(central);
  folderPath_->setMinimumHeight(kButtonBaseSize.height());
  folderRow->addWidget(folderButton_);
  folderRow->addWidget(folderPath_, 1);
  steps->addLayout(folderRow);
  controls_[kFolderButton] = folderButton_;
  controls_[kFolderPath] = folderPath_;

  // 2. Preview with navigation beside it.
  steps->addSpacing(6);
  steps->addWidget(stepLabel(kStepPreview));
  auto* previewRow = new QHBoxLayout;
  preview_ = new PreviewWidget(central);
  preview_->setMinimumSize(320, 240);
  preview_->SetLoadFailedTemplate(Text(IDS_IMAGE_LOAD_FAILED));
  controls_[kPreview] = preview_;
  previewRow->addWidget(preview_, 1);
  auto* side = new QVBoxLayout;
  auto* buttons = new QHBoxLayout;
  buttons->setSpacing(2);
  const QStyle::StandardPixmap icons[5] = {QStyle::SP_MediaSkipBackward, QStyle::SP_ArrowLeft,
                                           QStyle::SP_ArrowRight, QStyle::SP_MediaSkipForward,
                                           QStyle::SP_TrashIcon};
  for (int i = 0; i < 5; ++i) {
    auto* button = new QToolButton(central);
    button->setIcon(style()->standardIcon(icons[i]));
    button->setIconSize(QSize(20, 20));
    button->setMinimumSize(32, 32);
    button->setAutoRaise(false);
    smallButtons_[static_cast<std::size_t>(i)] = button;
    controls_[static_cast<std::size_t>(kFirstButton + i)] = button;
    buttons->addWidget(button);
    if (i == 3) buttons->addSpacing(8);
  }
  buttons->addStretch(1);
  side->addLayout(buttons);
  side->addSpacing(6);
  auto* navigationLabel = new QLabel(central);
  navigationBox_ = new QComboBox(central);
  navigationLabel->setBuddy(navigationBox_);
  controls_[kNavigationLabel] = navigationLabel;
  controls_[kNavigationBox] = navigationBox_;
  side->addWidget(navigationLabel);
  side->addWidget(navigationBox_);
  side->addSpacing(6);
  photoIndex_ = new QLabel(central);
  unnamedCount_ = new QLabel(central);
  controls_[kPhotoIndexText] = photoIndex_;
  controls_[kUnnamedCountText] = unnamedCount_;
  side->addWidget(photoIndex_);
  side->addWidget(unnamedCount_);
  side->addSpacing(6);
  auto* photoLabel = new QLabel(central);
  photoBox_ = new QComboBox(central);
  photoLabel->setBuddy(photoBox_);
  photoModel_ = new PhotoListModel(photoBox_);
  // Many thousands of names: rows of one height, and no measuring of every name.
  auto* photoView = new QListView(photoBox_);
  photoView->setUniformItemSizes(true);
  photoView->setLayoutMode(QListView::Batched);
  photoBox_->setView(photoView);
  photoBox_->setModel(photoModel_);
  photoBox_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  photoBox_->setMinimumContentsLength(18);
  photoBox_->setMaxVisibleItems(20);
  controls_[kPhotoBoxLabel] = photoLabel;
  controls_[kPhotoBox] = photoBox_;
  side->addWidget(photoLabel);
  side->addWidget(photoBox_);
  side->addStretch(1);
  auto* sideWidget = new QWidget(central);
  sideWidget->setLayout(side);
  side->setContentsMargins(0, 0, 0, 0);
  sideWidget->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
  previewRow->addSpacing(8);
  previewRow->addWidget(sideWidget);
  steps->addLayout(previewRow, 1);

  // 3. Pattern.
  steps->addSpacing(6);
  QLabel* patternLabel = stepLabel(kStepPattern);
  patternBox_ = new QComboBox(central);
  patternBox_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  patternBox_->setMinimumContentsLength(20);
  patternLabel->setBuddy(patternBox_);
  controls_[kPatternBox] = patternBox_;
  steps->addWidget(patternLabel);
  steps->addWidget(patternBox_);

  // 4. Base name.
  steps->addSpacing(6);
  QLabel* baseLabel = stepLabel(kStepBaseName);
  baseNameBox_ = new QComboBox(central);
  baseNameBox_->setEditable(true);
  baseNameBox_->setInsertPolicy(QComboBox::NoInsert);
  baseNameBox_->setCompleter(nullptr);
  baseNameBox_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  baseNameBox_->setMinimumContentsLength(20);
  baseLabel->setBuddy(baseNameBox_);
  controls_[kBaseNameBox] = baseNameBox_;
  steps->addWidget(baseLabel);
  steps->addWidget(baseNameBox_);

  // 5. New name, then the rename buttons.
  steps->addSpacing(6);
  QLabel* newNameLabel = stepLabel(kStepNewName);
  newNameBox_ = new QLineEdit(central);
  newNameLabel->setBuddy(newNameBox_);
  controls_[kNewNameBox] = newNameBox_;
  steps->addWidget(newNameLabel);
  steps->addWidget(newNameBox_);
  auto* renameRow = new QHBoxLayout;
  renameRow->addStretch(1);
  renameButton_ = new QPushButton(central);
  renameRemainingButton_ = new QPushButton(central);
  setBase(renameButton_);
  setBase(renameRemainingButton_);
  renameButton_->setDefault(true);
  controls_[kRenameButton] = renameButton_;
  controls_[kRenameRemainingButton] = renameRemainingButton_;
  renameRow->addWidget(renameButton_);
  renameRow->addWidget(renameRemainingButton_);
  steps->addSpacing(4);
  steps->addLayout(renameRow);

  // Tab order follows the steps.
  QWidget* order[] = {folderButton_,         smallButtons_[0], smallButtons_[1], smallButtons_[2],
                      smallButtons_[3],      smallButtons_[4], navigationBox_,   photoBox_,
                      patternBox_,           baseNameBox_,     newNameBox_,      renameButton_,
                      renameRemainingButton_};
  for (std::size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);
  return central;
}

void MainWindow::ConnectControls() {
  connect(folderButton_, &QPushButton::clicked, this,
          [this] { RunCommand(kCmdControlBase + kFolderButton); });
  for (int i = 0; i < 5; ++i) {
    connect(smallButtons_[static_cast<std::size_t>(i)], &QToolButton::clicked, this,
            [this, i] { RunCommand(kCmdControlBase + kFirstButton + i); });
  }
  connect(renameButton_, &QPushButton::clicked, this,
          [this] { RunCommand(kCmdControlBase + kRenameButton); });
  connect(renameRemainingButton_, &QPushButton::clicked, this,
          [this] { RunCommand(kCmdControlBase + kRenameRemainingButton); });
  connect(navigationBox_, &QComboBox::activated, this, [this](int row) {
    (void)app_.Workflow().ChangeNavigationMode(static_cast<std::uint32_t>(row));
    RefreshWindowState(kRefreshNavigation);
  });
  connect(photoBox_, &QComboBox::activated, this, [this](int row) {
    (void)app_.Workflow().ChoosePhoto(row);
    RefreshWindowState(kRefreshPhotoBox);
  });
  connect(patternBox_, &QComboBox::activated, this, [this](int row) {
    if (row < 0 || row >= static_cast<int>(patternRows_.size())) return;
    const int index = patternRows_[static_cast<std::size_t>(row)];
    (void)app_.Workflow().ChoosePattern(app_.Catalogue().At(index).name.View());
  });
  connect(baseNameBox_, &QComboBox::activated, this, [this](int row) {
    baseNameTyped_ = false;
    (void)app_.Workflow().ChooseBaseName(ToU16(baseNameBox_->itemText(row)), false, false);
  });
  connect(baseNameBox_->lineEdit(), &QLineEdit::textEdited, this, [this] {
    baseNameTyped_ = true;
    app_.Workflow().BaseNameTyped();
  });
  // The box passes its focus and keys on to its edit part directly, so both are watched.
  baseNameBox_->installEventFilter(this);
  baseNameBox_->lineEdit()->installEventFilter(this);
  connect(newNameBox_, &QLineEdit::textEdited, this,
          [this](const QString& text) { app_.Workflow().NewNameEdited(ToU16(text)); });
  connect(newNameBox_, &QLineEdit::returnPressed, this, [this] {
    if (renameButton_->isEnabled()) RunCommand(kCmdControlBase + kRenameButton);
  });
  connect(preview_, &PreviewWidget::painted, this, &MainWindow::OnPreviewPainted);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == baseNameBox_ || watched == baseNameBox_->lineEdit()) {
    if (event->type() == QEvent::KeyPress) {
      auto* key = static_cast<QKeyEvent*>(event);
      if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        // Enter takes the base name and renames.
        const bool typed = baseNameTyped_;
        baseNameTyped_ = false;
        (void)app_.Workflow().ChooseBaseName(ToU16(baseNameBox_->currentText()), typed, true);
        return true;
      }
    } else if (event->type() == QEvent::FocusOut &&
               static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason) {
      OnBaseNameLeft();
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

void MainWindow::OnBaseNameLeft() {
  if (!baseNameTyped_ || closing_) return;
  baseNameTyped_ = false;
  (void)app_.Workflow().ChooseBaseName(ToU16(baseNameBox_->currentText()), true, false);
}

void MainWindow::RunCommand(int command) {
  WorkflowFront& workflow = app_.Workflow();
  if (command > kCmdActivateBase && command < kCmdActivateBase + kControlCount) {
    // An accelerator activates its control; a disabled or hidden control is left alone.
    QWidget* control = Control(command - kCmdActivateBase);
    if (control == nullptr || !control->isEnabled() || !control->isVisible()) return;
    if (auto* button = qobject_cast<QAbstractButton*>(control)) {
      button->setFocus(Qt::ShortcutFocusReason);
      button->click();
    } else {
      control->setFocus(Qt::ShortcutFocusReason);
      if (auto* edit = qobject_cast<QLineEdit*>(control)) edit->selectAll();
      if (auto* combo = qobject_cast<QComboBox*>(control); combo && combo->lineEdit()) {
        combo->lineEdit()->selectAll();
      }
    }
    return;
  }
  switch (command) {
    case kCmdControlBase + kFolderButton:
    case kCmdChooseFolder:
      (void)app_.ChooseFolderCommand();
      break;
    case kCmdControlBase + kFirstButton:
      (void)workflow.GoFirst();
      break;
    case kCmdControlBase + kPreviousButton:
      (void)workflow.GoPrevious();
      break;
    case kCmdControlBase + kNextButton:
      (void)workflow.GoNext();
      break;
    case kCmdControlBase + kLastButton:
      (void)workflow.GoLast();
      break;
    case kCmdControlBase + kDeleteButton:
      (void)workflow.Delete();
      break;
    case kCmdControlBase + kRenameButton:
      OnBaseNameLeft();
      if (renameButton_->isEnabled()) (void)workflow.Rename();
      break;
    case kCmdControlBase + kRenameRemainingButton:
      OnBaseNameLeft();
      (void)workflow.RenameRemaining();
      break;
    case kCmdExit:
      close();
      break;
    case kCmdPatternsManager:
      (void)app_.RunDialog(app_.Dialogs().patternsManager);
      break;
    case kCmdExtensionManager:
      (void)app_.RunDialog(app_.Dialogs().extensionManager);
      break;
    case kCmdOptions:
      (void)app_.RunDialog(app_.Dialogs().options);
      break;
    case kCmdCheckUpdates:
      (void)app_.RunDialog(app_.Dialogs().checkUpdates);
      break;
    case kCmdCrashLogs:
      (void)app_.RunDialog(app_.Dialogs().crashLogs);
      break;
    case kCmdContact:
      (void)app_.RunDialog(app_.Dialogs().contact);
      break;
    case kCmdAbout:
      (void)app_.RunDialog(app_.Dialogs().about);
      break;
    case kCmdUndoRename:
      // In a name box Ctrl+Z takes back typing first.
      if (auto* edit = qobject_cast<QLineEdit*>(QApplication::focusWidget());
          edit != nullptr && edit->isUndoAvailable()) {
        edit->undo();
      } else {
        (void)app_.Host().UndoRenameCommand();
      }
      break;
    case kCmdHelp:
      ShowHelpTopic(0);
      break;
    case kCmdUserGuide:
      if (!app_.Help().OpenDocument(Text(IDS_USER_GUIDE_FILE))) {
        (void)ShowErrorMessage(app_.Context(), IDS_ERR_USER_GUIDE);
      }
      break;
    case kCmdLicense:
      if (!app_.Help().OpenDocument(Text(IDS_LICENSE_AGREEMENT_FILE))) {
        (void)ShowErrorMessage(app_.Context(), IDS_ERR_LICENSE_AGREEMENT);
      }
      break;
    case kCmdContextHelp:
      QWhatsThis::enterWhatsThisMode();
      break;
    case kCmdSelectAll: {
      QWidget* focus = QApplication::focusWidget();
      if (focus != nullptr &&
          (focus == newNameBox_ || focus == baseNameBox_->lineEdit() || focus == baseNameBox_)) {
        if (focus == newNameBox_) {
          newNameBox_->selectAll();
        } else {
          baseNameBox_->lineEdit()->selectAll();
        }
      } else {
        app_.Sounds().Play(SystemSound::kQuestion, false);
      }
      break;
    }
    default:
      break;
  }
}

void MainWindow::ShowHelpTopic(int helpId) {
  if (!app_.Help().ShowTopic(helpId)) (void)ShowErrorMessage(app_.Context(), IDS_ERR_HELP_WINDOW);
}

void MainWindow::FillBoxes(std::uint32_t mask) {
  const WorkflowFront& workflow = app_.Workflow();
  if (mask & kRefreshPhotoBox) {
    const QSignalBlocker block(photoBox_);
    photoModel_->Reset(&workflow.Photos());
  }
  if (mask & kRefreshPattern) {
    const QSignalBlocker block(patternBox_);
    patternBox_->clear();
    patternRows_.clear();
    const PatternCatalogue& catalogue = app_.Catalogue();
    for (int i = 0; i < catalogue.Count(); ++i) {
      const NamingPattern& pattern = catalogue.At(i);
      if (pattern.compiled.IsEmpty() || !pattern.IsUsable() || pattern.IsDeleted()) continue;
      patternBox_->addItem(ToQString(pattern.name.View()));
      patternRows_.push_back(i);
    }
  }
  if (mask & kRefreshBaseName) {
    const QSignalBlocker block(baseNameBox_);
    const QString typed = baseNameBox_->currentText();
    baseNameBox_->clear();
    baseNameRows_.clear();
    const BaseNameList& names = workflow.Photos().BaseNames();
    const int none = names.NoBaseNameIndex();
    if (none >= 0) {
      baseNameBox_->addItem(ToQString(names.At(none)));
      baseNameRows_.push_back(none);
    }
    for (int i = 0; i < names.Count(); ++i) {
      if (i == none) continue;
      baseNameBox_->addItem(ToQString(names.At(i)));
      baseNameRows_.push_back(i);
    }
    baseNameBox_->setEditText(typed);
  }
  if (mask & kRefreshNavigation) {
    const QSignalBlocker block(navigationBox_);
    navigationBox_->clear();
    navigationBox_->addItem(Text(IDS_NAV_ALL_PHOTOS));
    navigationBox_->addItem(Text(IDS_NAV_UNNAMED_PHOTOS));
    navigationBox_->addItem(Text(IDS_NAV_NAMED_PHOTOS));
  }
  RefreshWindowState(mask);
}

void MainWindow::RefreshWindowState(std::uint32_t mask) {
  const WorkflowFront& workflow = app_.Workflow();
  const PhotoList& photos = workflow.Photos();
  const NamingState& naming = workflow.Naming();
  if (mask & kRefreshPhotoBox) {
    const QSignalBlocker block(photoBox_);
    photoBox_->setCurrentIndex(
        photos.CurrentIndex() < photoModel_->rowCount() ? photos.CurrentIndex() : -1);
  }
  if (mask & kRefreshNavigation) {
    const QSignalBlocker block(navigationBox_);
    navigationBox_->setCurrentIndex(static_cast<int>(photos.NavigationMode()));
  }
  if ((mask & kRefreshPattern) && !patternRows_.empty()) {
    const QSignalBlocker block(patternBox_);
    const auto found = std::find(patternRows_.begin(), patternRows_.end(), naming.pattern);
    patternBox_->setCurrentIndex(
        found == patternRows_.end() ? -1 : static_cast<int>(found - patternRows_.begin()));
  }
  if ((mask & kRefreshBaseName) && !baseNameRows_.empty() && naming.baseName >= 0) {
    const QSignalBlocker block(baseNameBox_);
    const auto found = std::find(baseNameRows_.begin(), baseNameRows_.end(), naming.baseName);
    if (found != baseNameRows_.end()) {
      baseNameBox_->setCurrentIndex(static_cast<int>(found - baseNameRows_.begin()));
      baseNameTyped_ = false;
    }
  }
  if (mask & kRefreshNewName) {
    const QString text = ToQString(workflow.NewNameText());
    if (newNameBox_->text() != text) newNameBox_->setText(text);
  }
  if (mask & kRefreshEnabling) {
    renameButton_->setEnabled(workflow.CanRename());
    renameRemainingButton_->setEnabled(!photos.IsEmpty() && photos.UnnamedCount() > 0);
    smallButtons_[0]->setEnabled(workflow.CanGoFirst());
    smallButtons_[1]->setEnabled(workflow.CanGoPrevious());
    smallButtons_[2]->setEnabled(workflow.CanGoNext());
    smallButtons_[3]->setEnabled(workflow.CanGoLast());
    smallButtons_[4]->setEnabled(workflow.CanDelete());
  }
  if (mask & kRefreshFolder) {
    std::u16string_view folder = workflow.WorkingFolder();
    if (folder.size() > 1 && folder.back() == kPathSeparator) folder.remove_suffix(1);
    folderPath_->SetText(folder.empty() ? Text(IDS_NO_PHOTO_FOLDER) : ToQString(folder));
  }
  if (mask & kRefreshCounters) {
    CountedString text;
    photoIndex_->setText(Succeeded(photos.PhotoIndexText(*app_.Context().resourceModule, text))
                             ? ToQString(text.View())
                             : QString());
    CountedString unnamed;
    unnamedCount_->setText(
        Succeeded(photos.UnnamedCountText(*app_.Context().resourceModule, unnamed))
            ? ToQString(unnamed.View())
            : QString());
  }
  if (mask & kRefreshPreview) RefreshPreview();
}

void MainWindow::RefreshPreview() {
  const WorkflowFront& workflow = app_.Workflow();
  const PhotoList& photos = workflow.Photos();
  if (!app_.Naming().showFilePreview) {
    expectImage_ = false;
    preview_->ShowText(Text(IDS_PREVIEW_TURNED_OFF));
    return;
  }
  const int current = photos.CurrentIndex();
  if (current < 0 || current >= photos.Count()) {
    expectImage_ = false;
    preview_->Clear();
    return;
  }
  const QString folder = ToQString(workflow.WorkingFolder());
  const PhotoEntry& photo = photos.At(current);
  expectImage_ = true;
  preview_->ShowPhoto(folder + ToQString(photo.fileName.View()), OrientationOf(photo));
  if (preview_->Image().isNull()) expectImage_ = false;
  const int next = workflow.NextVisible(current);
  if (next >= 0) {
    const PhotoEntry& ahead = photos.At(next);
    preview_->ReadAhead(folder + ToQString(ahead.fileName.View()), OrientationOf(ahead));
  }
}

void MainWindow::OnPreviewPainted(bool withImage) {
  if (firstPaintReported_ || (expectImage_ && !withImage)) return;
  firstPaintReported_ = true;
  emit firstPreviewPainted();
}

void MainWindow::ReleasePreview() {
  preview_->Clear();
}

void MainWindow::SetWaitCursor(bool waiting) {
  if (waiting) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
  } else {
    QApplication::restoreOverrideCursor();
  }
}

void MainWindow::BeginScanProgress() {
  scanStarted_ = QDateTime::currentMSecsSinceEpoch();
  scanProgress_->setRange(0, 0);
}

void MainWindow::UpdateScanProgress(int done, int total) {
  if (scanStarted_ < 0) return;
  // Short scans never show a bar.
  if (scanProgress_->isHidden() && QDateTime::currentMSecsSinceEpoch() - scanStarted_ < 500) {
    return;
  }
  scanProgress_->setRange(0, std::max(total, 0));
  scanProgress_->setValue(total > 0 ? std::min(done, total) : 0);
  scanProgress_->show();
  scanCancel_->show();
  // With the status bar turned off, it comes up for the scan only.
  if (statusBar()->isHidden()) {
    statusBarForScan_ = true;
    statusBar()->show();
  }
}

void MainWindow::EndScanProgress() {
  scanStarted_ = -1;
  scanProgress_->hide();
  scanCancel_->hide();
  if (statusBarForScan_) {
    statusBarForScan_ = false;
    statusBar()->hide();
  }
}

bool MainWindow::ScanProgressShown() const {
  return !scanProgress_->isHidden();
}

bool MainWindow::ScanRunning() const {
  return scan_ != nullptr && scan_->Running();
}

ScanOutcome MainWindow::RunScan(const ScanJob& job, const ScanControl& control) {
  if (scan_ == nullptr) return job.Run(control);
  ScanOutcome outcome = scan_->Run(job, control);
  if (closeAfterScan_) {
    closeAfterScan_ = false;
    // The close asked for during the scan, once the scan's results are in place.
    QTimer::singleShot(0, this, [this] { close(); });
  }
  return outcome;
}

void MainWindow::ApplyWindowTips(bool on) {
  for (int i = 0; i < kControlCount; ++i) {
    QWidget* control = Control(i);
    if (control != nullptr)
      control->setToolTip(on ? tips_[static_cast<std::size_t>(i)] : QString());
  }
}

void MainWindow::ApplyStatusDisplay(bool on) {
  statusBar()->setVisible(on);
}

void MainWindow::RestorePlacement(const WindowSettings& settings) {
  QScreen* screen = QGuiApplication::primaryScreen();
  if (settings.appWindowLeft != kDefaultWindowPosition) {
    if (QScreen* at =
            QGuiApplication::screenAt(QPoint(settings.appWindowLeft, settings.appWindowTop)))
      screen = at;
  }
  WindowRect rect{settings.appWindowLeft, settings.appWindowTop, settings.appWindowWidth,
                  settings.appWindowHeight};
  if (screen != nullptr) {
    const QRect available = screen->availableGeometry();
    const WorkArea area{available.left(), available.top(), available.left() + available.width(),
                        available.top() + available.height()};
    // The window is never smaller than its controls need.
    const QSize least = minimumSizeHint();
    if (rect.width != kDefaultWindowPosition) {
      rect.width = std::max(rect.width, least.width());
      rect.height = std::max(rect.height, least.height());
    }
    rect = FitRectangleToWorkArea(rect, area);
    if (rect.width < least.width() || rect.height < least.height()) {
      rect.width = std::min(std::max(rect.width, least.width()), available.width());
      rect.height = std::min(std::max(rect.height, least.height()), available.height());
    }
  }
  setGeometry(rect.left, rect.top, rect.width, rect.height);
  if (settings.appWindowState == 3) {
    showMaximized();
  } else {
    showNormal();
  }
}

bool MainWindow::TakePlacement(WindowSettings& settings) const {
  const QRect normal = isMaximized() ? normalGeometry() : geometry();
  bool changed = false;
  auto keep = [&changed](std::int32_t& field, int value) {
    if (field != value) {
      field = value;
      changed = true;
    }
  };
  keep(settings.appWindowLeft, normal.left());
  keep(settings.appWindowTop, normal.top());
  keep(settings.appWindowWidth, normal.width());
  keep(settings.appWindowHeight, normal.height());
  if (settings.appWindowState != ShowCommand()) {
    settings.appWindowState = ShowCommand();
    changed = true;
  }
  return changed;
}

std::uint32_t MainWindow::ShowCommand() const {
  return isMaximized() ? 3u : 1u;
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (ScanRunning()) {
    // The scan stops first; the window closes when it has.
    closeAfterScan_ = true;
    scan_->Cancel();
    event->ignore();
    return;
  }
  if (Failed(app_.ExitApplication())) {
    event->ignore();
    return;
  }
  closing_ = true;
  event->accept();
}

}  // namespace lumatag::shell
