#include "editor/fmDBScript.h"

#include "db/IvxEngine.h"
#include "db/cpDatabase.h"
#include "editor/TvxAliasCommands.h"
#include "editor/TvxDiagramCommands.h"
#include "editor/TvxEditCommands.h"
#include "editor/TvxFieldCommands.h"
#include "editor/TvxFileCommands.h"
#include "editor/TvxHelpCommands.h"
#include "editor/TvxHelpWindow.h"
#include "editor/TvxIndexCommands.h"
#include "editor/TvxMessages.h"
#include "editor/TvxQtPrompts.h"
#include "editor/TvxRecentDocuments.h"
#include "editor/TvxRefIntCommands.h"
#include "editor/TvxTableCommands.h"
#include "editor/TvxTablePanels.h"
#include "editor/fmDBScriptCaptions.h"
#include "editor/vxStrings.h"
#include "script/TvxScriptHistory.h"
#include "script/TvxScriptReplayer.h"
#include "script/TvxScriptTableList.h"
#include "script/cpDBStructScript.h"
#include "views/TvxFieldTypeNames.h"
#include "views/TvxResourceVersion.h"
#include "views/cpDataSetListBox.h"
#include "views/cpFieldGrid.h"
#include "views/cpFieldsListBox.h"
#include "views/cpScriptTableListView.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QSettings>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>

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
      engine_(engine), version_(TvxResourceVersion::Instance()), prompts_(std::move(prompts)), help_(std::move(help))
{
    setObjectName(QStringLiteral("FormDBScript"));
    resize(497, 556);
    // The window's texts are 8 points, in the desktop's sans-serif family.
    QFont windowFont = font();
    windowFont.setPointSize(8);
    setFont(windowFont);
    if (!help_)
        help_ = std::make_unique<TvxHelpWindow>();
    if (!prompts_)
        prompts_ = std::make_unique<TvxQtPrompts>(version_, this, help_.get());
    messages_ = std::make_unique<TvxMessages>(*prompts_);

    BuildLayout();
    BuildMenu();
    ApplyCaptions(false);
    statusBar()->setObjectName(QStringLiteral("StatusBar"));
    recentDocuments_ = std::make_unique<TvxRecentDocuments>(mnRecent);
    setAcceptDrops(true);

    database_ = std::make_unique<TvxDatabase>(engine_, vxSession);
    database_->SetParams({std::string(), "DEFAULT DRIVER=PARADOX", "ENABLE BCD=FALSE"});
    database_->SetDataSetList(DataSetList);
    // A protected table whose password is not given is listed, unread; the others open.
    database_->SkipRefusedTables = true;
    // Both field views name the types as the connection's driver does.
    try {
        const TvxFieldTypeNames typeNames(database_->FieldTypeList());
        FieldsList->SetFieldTypeNames(typeNames);
        FieldGrid->SetFieldTypeNames(typeNames);
    } catch (const EvxEngineError&) {
        // The type columns stay empty.
    }

    scriptTableList_ = std::make_unique<TvxScriptTableList>();
    ScriptTableListView->SetTables(scriptTableList_.get());
    structScript_ = std::make_unique<TvxDBScript>();
    structScript_->SetScriptTableList(scriptTableList_.get());
    // Clearing a script removes the temporary aliases of directories given by path.
    structScript_->OnDeleteAlias = [this](const std::string& alias) {
        engine_.Session(vxDefaultSession).DeleteAlias(alias);
    };
    replayer_ = std::make_unique<TvxScriptReplayer>(
        *scriptTableList_, [this](std::string_view name) -> const TvxTableDesc* {
            return DataSetList ? DataSetList->TableByName(name) : nullptr;
        });
    history_ = std::make_unique<TvxScriptHistory>(*structScript_, *scriptTableList_);

    CreateHandlers();
    ConnectHandlers();
    RestoreLayout();

    // The window sees every key before its controls do.
    qApp->installEventFilter(this);

    if (runCreate)
        FormCreate();
}

TFormDBScript::~TFormDBScript()
{
    qApp->removeEventFilter(this);
}

void TFormDBScript::FormCreate()
{
    // The sessions are named when first asked for; "Database" already lives in "Session".
    // "[*]": the unsaved mark, shown while the script has changes not saved.
    setWindowTitle(version_.ProductName() + QStringLiteral("[*]"));
    try {
        engine_.Session(vxSession).SetPersistentConfigMode();
        engine_.Session(vxSessionNew);
        aliasCommands_->FillAliasList();
        fieldCommands_->EmptyNewValidation();
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
    // Lists and drop-down lists are not named by their labels for screen readers: they take the
    // labels' texts. Fields are named through the label itself, and a panel keeps showing its value.
    for (QLabel* label : findChildren<QLabel*>()) {
        QWidget* buddy = label->buddy();
        const QString name = QString(label->text()).remove(QLatin1Char('&'));
        if (qobject_cast<QAbstractItemView*>(buddy))
            buddy->setAccessibleName(name);
    }
    // A drop-down list and the list it drops down go by the same name.
    for (QComboBox* combo : findChildren<QComboBox*>()) {
        QString name = combo->accessibleName();
        for (QLabel* label : findChildren<QLabel*>())
            if (label->buddy() == combo)
                name = QString(label->text()).remove(QLatin1Char('&'));
        combo->setAccessibleName(name);
        combo->view()->setAccessibleName(name);
    }
    // Lists of fields go by what they hold, not by the caption "Campos" they share.
    const std::pair<QWidget*, int> fieldLists[] = {{FieldsList, 10160},       {ListIdxFields, 10161},
                                                   {RIFieldList, 10162},      {NewIdxFieldsList, 10163},
                                                   {NewIdxFieldUsedList, 10164}, {ListNewRIFields, 10165}};
    for (const auto& [list, id] : fieldLists)
        list->setAccessibleName(vxLoadString(id));
}

// --- message helpers ---

QString TFormDBScript::LoadMessage(int id)
{
    return TvxMessages::LoadMessage(id);
}

QString TFormDBScript::FormatMessage(const QString& text, const QString& argument)
{
    return TvxMessages::FormatMessage(text, argument);
}

void TFormDBScript::ShowMessageCode(int id)
{
    messages_->ShowMessageCode(id);
}

TvxMsgResult TFormDBScript::AskMessage(int id, const QString& argument, TvxMsgButtons buttons)
{
    return messages_->AskMessage(id, argument, buttons);
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
            if (widget == FieldGrid || FieldGrid->isAncestorOf(widget))
                fieldCommands_->FieldGridKeyDown(key->key());
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
    StoreLayout();
    FormClose();
    event->accept();
}

namespace {

const QString vxGeometryKey = QStringLiteral("MainWindow/Geometry");

QString SplitterKey(const QSplitter* splitter)
{
    return QStringLiteral("MainWindow/") + splitter->objectName();
}

// The script document a drag carries: one local .vxscript file, or empty.
QString DroppedDocument(const QMimeData* data)
{
    if (!data || !data->hasUrls() || data->urls().size() != 1 || !data->urls().front().isLocalFile())
        return {};
    const QString path = data->urls().front().toLocalFile();
    return TvxFileCommands::IsScriptDocument(path) ? path : QString();
}

} // namespace

void TFormDBScript::RestoreLayout()
{
    const QSettings settings;
    restoreGeometry(settings.value(vxGeometryKey).toByteArray());
    for (QSplitter* splitter : findChildren<QSplitter*>())
        splitter->restoreState(settings.value(SplitterKey(splitter)).toByteArray());
}

void TFormDBScript::StoreLayout() const
{
    QSettings settings;
    settings.setValue(vxGeometryKey, saveGeometry());
    for (const QSplitter* splitter : findChildren<QSplitter*>())
        settings.setValue(SplitterKey(splitter), splitter->saveState());
}

void TFormDBScript::dragEnterEvent(QDragEnterEvent* event)
{
    if (!DroppedDocument(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void TFormDBScript::dropEvent(QDropEvent* event)
{
    const QString document = DroppedDocument(event->mimeData());
    if (document.isEmpty())
        return;
    event->acceptProposedAction();
    // The drag ends before the document's questions are asked.
    QTimer::singleShot(0, fileCommands_.get(), [file = fileCommands_.get(), document] { file->OpenChosen(document); });
}

bool TFormDBScript::FormCloseQuery()
{
    return fileCommands_->FormCloseQuery();
}

void TFormDBScript::FormClose()
{
    help_->Quit();
}

} // namespace morvane
