#include "editor/fmDBScript.h"

#include "db/IvxEngine.h"
#include "db/cpDatabase.h"
#include "editor/TvxAliasCommands.h"
#include "editor/TvxFileCommands.h"
#include "editor/TvxHelpCommands.h"
#include "editor/TvxHelpWindow.h"
#include "editor/TvxQtPrompts.h"
#include "editor/fmDBScriptCaptions.h"
#include "editor/vxStrings.h"
#include "script/EvxAbort.h"
#include "script/TvxScriptReplayer.h"
#include "script/cpDBStructScript.h"
#include "views/TvxResourceVersion.h"
#include "views/cpDataSetListBox.h"
#include "views/cpFieldGrid.h"
#include "views/cpFieldsListBox.h"
#include "views/cpScriptTableListView.h"
#include "views/vxRecordText.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>

namespace morvane {

TFormDBScript::TFormDBScript(IvxEngine& engine, std::unique_ptr<IvxPrompts> prompts, std::unique_ptr<IvxHelp> help,
                             QWidget* parent)
    : TFormDBScript(engine, std::move(prompts), std::move(help), parent, true)
{
}

TFormDBScript::TFormDBScript(IvxEngine& engine, std::unique_ptr<IvxPrompts> prompts, std::unique_ptr<IvxHelp> help,
                             QWidget* parent, bool runCreate)
    : QMainWindow(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                              Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      engine_(engine), prompts_(std::move(prompts)), help_(std::move(help))
{
    setObjectName(QStringLiteral("FormDBScript"));
    resize(497, 556);
    // The window's texts are 8 points, in the desktop's sans-serif family.
    QFont windowFont = font();
    windowFont.setPointSize(8);
    setFont(windowFont);
    if (!prompts_)
        prompts_ = std::make_unique<TvxQtPrompts>(this);
    if (!help_)
        help_ = std::make_unique<TvxHelpWindow>();
    helpCommands_ = std::make_unique<TvxHelpCommands>(*this);
    fileCommands_ = std::make_unique<TvxFileCommands>(*this);
    aliasCommands_ = std::make_unique<TvxAliasCommands>(*this);

    BuildLayout();
    BuildMenu();
    ApplyCaptions(false);

    database_ = std::make_unique<TvxDatabase>(engine_, vxSession);
    database_->SetParams({std::string(), "DEFAULT DRIVER=PARADOX", "ENABLE BCD=FALSE"});
    database_->SetDataSetList(DataSetList);
    database_->OnConnected = [this](bool value) { DatabaseConnected(value); };
    database_->OnPassword = [this](TvxDatabase&) { return DatabasePassword(); };

    structScript_ = std::make_unique<TvxDBScript>();
    structScript_->SetScriptTableList(ScriptTableListView);
    structScript_->AfterLoad = [this](TvxCommand& c) { StructScriptAfterLoad(c); };
    // Clearing a script removes the temporary aliases of directories given by path.
    structScript_->OnDeleteAlias = [this](const std::string& alias) {
        engine_.Session(vxDefaultSession).DeleteAlias(alias);
    };
    replayer_ = std::make_unique<TvxScriptReplayer>(
        *ScriptTableListView, [this](std::string_view name) -> const TvxTableDesc* {
            return DataSetList ? DataSetList->TableByName(name) : nullptr;
        });

    connect(ComboAlias, &QComboBox::activated, this, &TFormDBScript::ComboAliasChange);
    connect(BtnPath, &QPushButton::clicked, this, &TFormDBScript::BtnPathAliasClick);
    connect(BtnPathNew, &QPushButton::clicked, this, &TFormDBScript::BtnPathAliasClick);
    connect(SpdBtnPW, &QToolButton::clicked, this, &TFormDBScript::SpdBtnPWClick);
    connect(FieldGrid, &TvxFieldGrid::OnSelectField, this, &TFormDBScript::FieldGridSelectField);
    connect(CheckNewRequired, &QCheckBox::clicked, this, &TFormDBScript::CheckNewRequiredClick);
    for (QLineEdit* edit : {EditNewMin, EditNewMax, EditNewDefault, EditNewPicture}) {
        connect(edit, &QLineEdit::textChanged, this, &TFormDBScript::EditNewValChange);
        connect(edit, &QLineEdit::editingFinished, this, &TFormDBScript::EditNewValExit);
    }
    connect(SpdBtnIdxAdd, &QToolButton::clicked, this, &TFormDBScript::SpdBtnIdxAddClick);
    connect(SpdBtnIdxDel, &QToolButton::clicked, this, &TFormDBScript::SpdBtnIdxDelClick);
    connect(SpdBtnIdxAddField, &QToolButton::clicked, this, &TFormDBScript::SpdBtnIdxAddFieldClick);
    connect(SpdBtnIdxDelField, &QToolButton::clicked, this, &TFormDBScript::SpdBtnIdxDelFieldClick);
    connect(SpdBtnIdxMoveUp, &QToolButton::clicked, this, &TFormDBScript::SpdBtnIdxMoveClick);
    connect(SpdBtnIdxMoveDown, &QToolButton::clicked, this, &TFormDBScript::SpdBtnIdxMoveClick);
    for (QCheckBox* box : {CheckNewUnique, CheckNewMaint, CheckNewCaseInsens, CheckNewDesc})
        connect(box, &QCheckBox::clicked, this, &TFormDBScript::CheckNewIdxPropertyClick);
    connect(SpdBtnRIntAdd, &QToolButton::clicked, this, &TFormDBScript::SpdBtnRIntAddClick);
    connect(SpdBtnRIntDel, &QToolButton::clicked, this, &TFormDBScript::SpdBtnRIntDelClick);
    connect(SpdBtnRIntFieldAdd, &QToolButton::clicked, this, &TFormDBScript::SpdBtnRIntFieldAddClick);
    connect(SpdBtnRIntFieldDel, &QToolButton::clicked, this, &TFormDBScript::SpdBtnRIntFieldDelClick);
    connect(CheckNewSRI, &QCheckBox::clicked, this, &TFormDBScript::CheckNewSRIClick);
    connect(DataSetList, &TvxDataSetListBox::OnChange, this, &TFormDBScript::DataSetListChange);
    connect(DataSetList, &TvxDataSetListBox::OnClick, this, &TFormDBScript::DataSetListClick);

    // The window sees every key before its controls do.
    qApp->installEventFilter(this);

    if (runCreate)
        FormCreate();
}

TFormDBScript::~TFormDBScript()
{
    qApp->removeEventFilter(this);
    if (structScript_)
        structScript_->SetScriptTableList(nullptr);
    if (database_)
        database_->SetDataSetList(nullptr);
}

void TFormDBScript::FormCreate()
{
    // The sessions are named when first asked for; "Database" already lives in "Session".
    setWindowTitle(TvxResourceVersion::Instance().ProductName());
    try {
        engine_.Session(vxSession).SetPersistentConfigMode();
        engine_.Session(vxSessionNew);
        aliasCommands_->FillAliasList();
        for (QLineEdit* edit : {EditNewMin, EditNewMax, EditNewDefault, EditNewPicture}) {
            edit->clear();
            edit->setEnabled(false);
        }
        CheckNewRequired->setChecked(false);
        CheckNewRequired->setEnabled(false);
        BtnNewPicture->setEnabled(false);
    } catch (const EvxEngineError& error) {
        QString text = QStringLiteral("Borland Database Engine retornou o seguinte erro: ");
        for (const auto& item : error.Errors())
            text += QString::fromStdString(item.message);
        prompts_->Message(TvxMsgKind::Error, QStringLiteral("Morvane Error"), text, TvxMsgButtons::Ok);
    }
}

void TFormDBScript::ApplyCaptions(bool portuguese)
{
    for (const TvxCaption& caption : vxMainWindowCaptions()) {
        const QString name = QLatin1String(caption.name);
        const QString text = QString::fromUtf8(portuguese ? caption.portuguese : caption.english);
        QObject* object = findChild<QObject*>(name);
        if (auto* action = qobject_cast<QAction*>(object)) {
            action->setText(text);
        } else if (auto* menu = qobject_cast<QMenu*>(object)) {
            menu->setTitle(text);
        } else if (auto* label = qobject_cast<QLabel*>(object)) {
            label->setText(text);
        } else if (auto* button = qobject_cast<QAbstractButton*>(object)) {
            button->setText(text);
        } else if (auto* group = qobject_cast<QGroupBox*>(object)) {
            group->setTitle(text);
        } else if (auto* page = qobject_cast<QWidget*>(object)) {
            for (QTabWidget* tabs : {PageDatabase, PageNew}) {
                const int index = tabs->indexOf(page);
                if (index >= 0)
                    tabs->setTabText(index, text);
            }
        }
    }
    // Panels take their labels' texts as names, so that screen readers announce them.
    for (QLabel* label : findChildren<QLabel*>())
        if (auto* panel = qobject_cast<QLabel*>(label->buddy()))
            panel->setAccessibleName(QString(label->text()).remove(QLatin1Char('&')));
}

// --- message helpers ---

QString TFormDBScript::LoadMessage(int id)
{
    return vxLoadString(id);
}

QString TFormDBScript::FormatMessage(const QString& text, const QString& argument)
{
    QString result;
    result.reserve(text.size() + argument.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('%') && i + 1 < text.size()) {
            const QChar next = text[i + 1];
            if (next == QLatin1Char('s') || next == QLatin1Char('S')) {
                result += argument;
                ++i;
                continue;
            }
            if (next == QLatin1Char('%')) {
                result += next;
                ++i;
                continue;
            }
        }
        result += text[i];
    }
    return result;
}

void TFormDBScript::ShowMessageCode(int id)
{
    QString text = LoadMessage(id);
    if (text.isEmpty())
        text = LoadMessage(vxMsgUnknownError);
    prompts_->Message(TvxMsgKind::Information, QCoreApplication::applicationName(), text, TvxMsgButtons::Ok);
}

TvxMsgResult TFormDBScript::AskMessage(int id, const QString& argument, TvxMsgButtons buttons)
{
    const QString text = LoadMessage(id);
    const QString caption = QCoreApplication::applicationName();
    if (text.isEmpty()) {
        prompts_->Message(TvxMsgKind::Information, caption, LoadMessage(vxMsgUnknownError), TvxMsgButtons::Ok);
        return TvxMsgResult::Cancel;
    }
    const TvxMsgKind kind = buttons == TvxMsgButtons::Ok ? TvxMsgKind::Information : TvxMsgKind::Question;
    return prompts_->Message(kind, caption, FormatMessage(text, argument), buttons);
}

// --- keys and closing ---

bool TFormDBScript::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyRelease) {
        previewedKey_ = nullptr;
    } else if (event->type() == QEvent::KeyPress && watched->isWidgetType() &&
               static_cast<QWidget*>(watched)->window() == this) {
        // A key that no control takes travels up to the parents of its receiver, passing this
        // filter each time: preview it only at its first receiver.
        const auto* key = static_cast<QKeyEvent*>(event);
        auto* widget = static_cast<QWidget*>(watched);
        const bool travelling = event == previewedKey_ && key->timestamp() == previewedTime_ &&
                                previewedReceiver_ && previewedReceiver_ != widget &&
                                widget->isAncestorOf(previewedReceiver_);
        previewedKey_ = event;
        previewedTime_ = key->timestamp();
        previewedReceiver_ = widget;
        if (!travelling) {
            helpCommands_->KeyDown(key->key(), key->modifiers());
            if (FieldGrid && (widget == FieldGrid || FieldGrid->isAncestorOf(widget)))
                FieldGridKeyDown(key->key());
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TFormDBScript::closeEvent(QCloseEvent* event)
{
    if (!FormCloseQuery()) {
        event->ignore();
        return;
    }
    FormClose();
    event->accept();
}

bool TFormDBScript::FormCloseQuery()
{
    return fileCommands_->CloseQuery();
}

void TFormDBScript::FormClose()
{
    help_->Quit();
}

// --- handlers ---
// Handlers with an empty body belong to commands that the window does not offer yet; they
// exist so that menus and controls are tied to their final slots.

void TFormDBScript::StructScriptAfterLoad(TvxCommand& Comm)
{
    if (replayer_->Apply(Comm) == TvxScriptReplayer::MissingSource) {
        AskMessage(10027, RecordTextToQString(Comm.ParamText(AddTableParam::SourceTable)), TvxMsgButtons::Ok);
        throw EvxAbort();
    }
}

void TFormDBScript::mnNewClick() {}
void TFormDBScript::mnOpenClick() {}
void TFormDBScript::mnSaveClick() {}
void TFormDBScript::mnSaveAsClick() {}
void TFormDBScript::mnScriptCreateClick() {}
void TFormDBScript::mnScriptExecuteClick() {}
void TFormDBScript::mnScriptClearClick() {}
void TFormDBScript::mnCommandsClick() {}
void TFormDBScript::mnExitClick() { fileCommands_->ExitClick(); }
void TFormDBScript::ExeScriptShowErrorMsg(int CodError) { ShowMessageCode(CodError); }

void TFormDBScript::mnOpenDatabaseClick() {}
void TFormDBScript::mnAliasAddPathClick() {}
void TFormDBScript::mnAliasNewAddClick() {}
void TFormDBScript::mnAliasNewDeleteClick() {}
void TFormDBScript::ComboAliasChange() {}
void TFormDBScript::BtnPathAliasClick() {}
void TFormDBScript::SpdBtnPWClick() {}
void TFormDBScript::DatabaseConnected(bool Value) { aliasCommands_->DatabaseConnected(Value); }
bool TFormDBScript::DatabasePassword() { return aliasCommands_->DatabasePassword(); }

void TFormDBScript::mnTableNewClick() {}
void TFormDBScript::mnTableChangeClick() {}
void TFormDBScript::mnTableAddClick() {}
void TFormDBScript::mnTableDeleteClick() {}

void TFormDBScript::mnFieldAddClick() {}
void TFormDBScript::mnFieldChangeClick() {}
void TFormDBScript::mnFieldMoveClick() {}
void TFormDBScript::mnFieldDeleteClick() {}
void TFormDBScript::FieldGridSelectField(int) {}

void TFormDBScript::FieldGridKeyDown(int Key)
{
    if (Key == Qt::Key_Return || Key == Qt::Key_Enter)
        mnFieldChangeClick();
}

void TFormDBScript::FieldsListChange() {}
void TFormDBScript::EditNewValChange() {}
void TFormDBScript::EditNewValExit() {}
void TFormDBScript::CheckNewRequiredClick() {}

void TFormDBScript::SpdBtnIdxAddClick() {}
void TFormDBScript::SpdBtnIdxDelClick() {}
void TFormDBScript::SpdBtnIdxAddFieldClick() {}
void TFormDBScript::SpdBtnIdxDelFieldClick() {}
void TFormDBScript::SpdBtnIdxMoveClick() {}
void TFormDBScript::CheckNewIdxPropertyClick() {}
void TFormDBScript::ListIndexChange() {}
void TFormDBScript::NewIdxListChange() {}

void TFormDBScript::SpdBtnRIntAddClick() {}
void TFormDBScript::SpdBtnRIntDelClick() {}
void TFormDBScript::SpdBtnRIntFieldAddClick() {}
void TFormDBScript::SpdBtnRIntFieldDelClick() {}
void TFormDBScript::RefIntListChange() {}
void TFormDBScript::NewRIntListChange() {}
void TFormDBScript::ComboTablesCloseUp() {}
void TFormDBScript::GroupNewRuleClick() {}
void TFormDBScript::CheckNewSRIClick() {}

void TFormDBScript::DataSetListChange() {}
void TFormDBScript::DataSetListClick() {}
void TFormDBScript::ScriptTableListViewChange() {}
void TFormDBScript::ScriptTableListViewClick() {}

void TFormDBScript::mnHelpContentsClick() { helpCommands_->ContentsClick(); }
void TFormDBScript::mnHelpAboutClick() { helpCommands_->AboutClick(); }

} // namespace morvane
