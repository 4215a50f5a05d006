#pragma once
// TFormDBScript: the main window. The upper half shows the open (current) database, the lower
// half the new structure that the script describes. It owns the connection `Database`, the
// script builder, the new structure's table list, the menu and the controls, and one handler
// object per menu area (files, aliases, tables, fields, indexes, rules, help), each given only
// the controls and services it works with; the window creates them and wires every menu item
// and control event to them. Every question goes through its IvxPrompts and the help through
// its IvxHelp. The program creates the Portuguese variant TFormDBScriptPOR.

#include <QMainWindow>
#include <QPointer>

#include <memory>

#include "editor/IvxHelp.h"
#include "editor/IvxPrompts.h"
#include "editor/TvxDocumentState.h"
#include "editor/TvxFileDialogs.h"
#include "editor/TvxInfoPanels.h"

class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QScrollArea;
class QSplitter;
class QTabWidget;
class QToolButton;
class QTreeWidget;

namespace morvane {

class IvxEngine;
class TvxAliasCommands;
class TvxCombobox;
class TvxDBScript;
class TvxDataSetListBox;
class TvxDatabase;
class TvxDiagramCommands;
class TvxEditCommands;
class TvxFieldCommands;
class TvxFieldGrid;
class TvxFieldsListBox;
class TvxFileCommands;
class TvxHelpCommands;
class TvxIndexCommands;
class TvxMessages;
class TvxRecentDocuments;
class TvxRefIntCommands;
class TvxResourceVersion;
class TvxScriptHistory;
class TvxScriptReplayer;
class TvxScriptTableList;
class TvxScriptTableListView;
class TvxTableCommands;
class TvxTablePanels;

// The application's title; every message box of the editor is captioned with it.
inline constexpr char vxApplicationTitle[] = "Morvane";
inline constexpr char vxHelpFileName[] = "MORVANE.HLP";

class TFormDBScript : public QMainWindow
{
    Q_OBJECT

public:
    // The engine outlives the window. Without prompts or help the window uses the Qt dialogs
    // and the compiled-in help window.
    explicit TFormDBScript(IvxEngine& engine, std::unique_ptr<IvxPrompts> prompts = nullptr,
                           std::unique_ptr<IvxHelp> help = nullptr, QWidget* parent = nullptr);
    ~TFormDBScript() override;

    // --- state ---
    TvxDocumentState Document;
    int HelpContext = vxHelpContents;
    // The file dialogs, as the "&Arquivo" commands show them.
    TvxFileDialogs FileDialogs;

    // --- message helpers (TvxMessages over the window's prompts) ---
    static QString LoadMessage(int id);
    void ShowMessageCode(int id);
    TvxMsgResult AskMessage(int id, const QString& argument, TvxMsgButtons buttons);
    static QString FormatMessage(const QString& text, const QString& argument);

    IvxEngine& Engine() const { return engine_; }
    IvxPrompts& Prompts() const { return *prompts_; }
    IvxHelp& Help() const { return *help_; }
    TvxDatabase& Database() const { return *database_; }
    TvxDBScript& StructScript() const { return *structScript_; }
    // The new structure's tables, which ScriptTableListView shows.
    TvxScriptTableList& ScriptTableList() const { return *scriptTableList_; }

    // The displays of both halves for the selected tables, refilled by the handlers.
    TvxTablePanels& TablePanels() const { return *tablePanels_; }

    // --- the handlers of each menu area ---
    TvxFileCommands& FileCommands() const { return *fileCommands_; }
    TvxAliasCommands& AliasCommands() const { return *aliasCommands_; }
    TvxTableCommands& TableCommands() const { return *tableCommands_; }
    TvxFieldCommands& FieldCommands() const { return *fieldCommands_; }
    TvxIndexCommands& IndexCommands() const { return *indexCommands_; }
    TvxRefIntCommands& RefIntCommands() const { return *refIntCommands_; }
    TvxHelpCommands& HelpCommands() const { return *helpCommands_; }
    TvxEditCommands& EditCommands() const { return *editCommands_; }
    TvxDiagramCommands& DiagramCommands() const { return *diagramCommands_; }
    // The documents last opened or saved ("&Arquivo" › mnRecent).
    TvxRecentDocuments& RecentDocuments() const { return *recentDocuments_; }
    // Undo and redo of the script and its new tables.
    TvxScriptHistory& History() const { return *history_; }

    // --- controls (named as the program's texts name them) ---
    QWidget* pnActual = nullptr;
    QWidget* pnNew = nullptr;
    QSplitter* Splitter = nullptr;
    TvxDataSetListBox* DataSetList = nullptr;
    QTabWidget* PageDatabase = nullptr;
    TvxScriptTableListView* ScriptTableListView = nullptr;
    QTabWidget* PageNew = nullptr;

    // upper "Alias"
    QComboBox* ComboAlias = nullptr;
    QLineEdit* EditPath = nullptr;
    QPushButton* BtnPath = nullptr;
    // upper "Informações"
    TvxInfoPanels Info;
    QLineEdit* PanelProtected = nullptr;
    // upper "Campos"
    TvxFieldsListBox* FieldsList = nullptr;
    QLineEdit* EditMin = nullptr;
    QLineEdit* EditMax = nullptr;
    QLineEdit* EditDefault = nullptr;
    QLineEdit* EditPicture = nullptr;
    QLabel* PanelRequired = nullptr;
    // upper "Indexes"
    QTreeWidget* ListIndex = nullptr;
    QListWidget* ListIdxFields = nullptr;
    QPlainTextEdit* MemoIdxProperty = nullptr;
    // upper "Int. Ref."
    QTreeWidget* RefIntList = nullptr;
    QListWidget* RIFieldList = nullptr;
    QListWidget* RIParentFieldList = nullptr;
    QLineEdit* EditRITable = nullptr;
    QLineEdit* EditRIType = nullptr;
    QLineEdit* EditSRI = nullptr;
    QLineEdit* EditUpdateRule = nullptr;

    // lower "Novo Alias"
    QLineEdit* EditNewAlias = nullptr;
    QLineEdit* EditNewDrive = nullptr;
    QLineEdit* EditNewPath = nullptr;
    QPushButton* BtnPathNew = nullptr;
    // lower "Informações"
    TvxInfoPanels NewInfo;
    QLineEdit* pnNewProtected = nullptr;
    QToolButton* SpdBtnPW = nullptr;
    QComboBox* ComboNewLangDriver = nullptr;
    // lower "Campos"
    TvxFieldGrid* FieldGrid = nullptr;
    QLineEdit* EditNewMin = nullptr;
    QLineEdit* EditNewMax = nullptr;
    QLineEdit* EditNewDefault = nullptr;
    QLineEdit* EditNewPicture = nullptr;
    QCheckBox* CheckNewRequired = nullptr;
    QPushButton* BtnNewPicture = nullptr;
    // lower "Indexes"
    QListWidget* NewIdxFieldsList = nullptr;
    QTreeWidget* NewIdxList = nullptr;
    QListWidget* NewIdxFieldUsedList = nullptr;
    QGroupBox* GroupNewIdxProps = nullptr;
    QCheckBox* CheckNewUnique = nullptr;
    QCheckBox* CheckNewMaint = nullptr;
    QCheckBox* CheckNewCaseInsens = nullptr;
    QCheckBox* CheckNewDesc = nullptr;
    QToolButton* SpdBtnIdxAdd = nullptr;
    QToolButton* SpdBtnIdxDel = nullptr;
    QToolButton* SpdBtnIdxAddField = nullptr;
    QToolButton* SpdBtnIdxDelField = nullptr;
    QToolButton* SpdBtnIdxMoveUp = nullptr;
    QToolButton* SpdBtnIdxMoveDown = nullptr;
    // lower "Int. Ref."
    QListWidget* NewRIntList = nullptr;
    TvxCombobox* ComboTables = nullptr;
    QListWidget* ListNewRIFields = nullptr;
    QScrollArea* ScrollNewFieldREL = nullptr;
    QGroupBox* GroupNewRule = nullptr;
    QRadioButton* RadioNewRuleCascade = nullptr;
    QRadioButton* RadioNewRuleProhibit = nullptr;
    QCheckBox* CheckNewSRI = nullptr;
    QToolButton* SpdBtnRIntAdd = nullptr;
    QToolButton* SpdBtnRIntDel = nullptr;
    QToolButton* SpdBtnRIntFieldAdd = nullptr;
    QToolButton* SpdBtnRIntFieldDel = nullptr;

    // menu
    QMenu* mnFile = nullptr;
    QAction* mnNew = nullptr;
    QAction* mnOpen = nullptr;
    QAction* mnSave = nullptr;
    QAction* mnSaveAs = nullptr;
    QAction* mnScriptCompare = nullptr;
    QAction* mnScriptCreate = nullptr;
    QAction* mnScriptExecute = nullptr;
    QAction* mnScriptClear = nullptr;
    QAction* mnCommands = nullptr;
    QMenu* mnRecent = nullptr;
    QAction* mnExit = nullptr;
    QMenu* mnEdit = nullptr;
    QAction* mnUndo = nullptr;
    QAction* mnRedo = nullptr;
    QMenu* mnAliases = nullptr;
    QAction* mnOpenDatabase = nullptr;
    QAction* mnAliasAddPath = nullptr;
    QAction* mnAliasNewAdd = nullptr;
    QAction* mnAliasNewDelete = nullptr;
    QMenu* mnTable = nullptr;
    QAction* mnTableNew = nullptr;
    QAction* mnTableChange = nullptr;
    QAction* mnTableAdd = nullptr;
    QAction* mnTableDelete = nullptr;
    QAction* mnDiagram = nullptr;
    QMenu* mnFields = nullptr;
    QAction* mnFieldAdd = nullptr;
    QAction* mnFieldChange = nullptr;
    QAction* mnFieldMove = nullptr;
    QAction* mnFieldDelete = nullptr;
    QMenu* mnIndexes = nullptr;
    QAction* mnIdxAdd = nullptr;
    QAction* mnIdxDel = nullptr;
    QAction* mnIdxAddField = nullptr;
    QAction* mnIdxDelField = nullptr;
    QAction* mnIdxMoveUp = nullptr;
    QAction* mnIdxMoveDown = nullptr;
    QMenu* mnRefInt = nullptr;
    QAction* mnRIntAdd = nullptr;
    QAction* mnRIntDel = nullptr;
    QAction* mnRIntAddField = nullptr;
    QAction* mnRIntDelField = nullptr;
    QMenu* mnHelp = nullptr;
    QAction* mnHelpContents = nullptr;
    QAction* mnHelpAbout = nullptr;

public:
    // Closing: false keeps the window open (unsaved script, question cancelled).
    bool FormCloseQuery();
    // Closes the help window.
    void FormClose();

protected:
    // runCreate false: a descendant runs its own creation step first, then FormCreate().
    TFormDBScript(IvxEngine& engine, std::unique_ptr<IvxPrompts> prompts, std::unique_ptr<IvxHelp> help,
                  QWidget* parent, bool runCreate);
    // Sessions, caption, alias list; an engine error is shown in one box and the window goes on.
    void FormCreate();
    // Sets the caption of every control and menu entry from the captions of one language.
    void ApplyCaptions(bool portuguese);

    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // A script document (.vxscript) dropped on the window is opened as "&Abrir" opens it.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void BuildLayout();
    void BuildMenu();
    QWidget* BuildAliasPage();
    QWidget* BuildInfoPage(TvxInfoPanels& panels, QLineEdit*& protectedPanel, bool lower);
    QWidget* BuildCurrentFieldsPage();
    QWidget* BuildCurrentIndexPage();
    QWidget* BuildCurrentRefIntPage();
    QWidget* BuildNewAliasPage();
    QWidget* BuildNewFieldsPage();
    QWidget* BuildNewIndexPage();
    QWidget* BuildNewRefIntPage();
    // The handler of each menu area, given its controls and services.
    void CreateHandlers();
    // Every menu item, control event and component event tied to its handler.
    void ConnectHandlers();
    // The window's size and place and the positions of its splitters, from and to the settings.
    void RestoreLayout();
    void StoreLayout() const;

    IvxEngine& engine_;
    // The program's version texts: the caption, the About box, the files written.
    const TvxResourceVersion& version_;
    std::unique_ptr<IvxPrompts> prompts_;
    std::unique_ptr<IvxHelp> help_;
    std::unique_ptr<TvxMessages> messages_;
    std::unique_ptr<TvxDatabase> database_;
    std::unique_ptr<TvxScriptTableList> scriptTableList_;
    std::unique_ptr<TvxDBScript> structScript_;
    std::unique_ptr<TvxScriptReplayer> replayer_;
    std::unique_ptr<TvxScriptHistory> history_;
    std::unique_ptr<TvxRecentDocuments> recentDocuments_;
    // Each handler may use those declared before it.
    std::unique_ptr<TvxTablePanels> tablePanels_;
    std::unique_ptr<TvxHelpCommands> helpCommands_;
    std::unique_ptr<TvxAliasCommands> aliasCommands_;
    std::unique_ptr<TvxIndexCommands> indexCommands_;
    std::unique_ptr<TvxRefIntCommands> refIntCommands_;
    std::unique_ptr<TvxFieldCommands> fieldCommands_;
    std::unique_ptr<TvxTableCommands> tableCommands_;
    std::unique_ptr<TvxFileCommands> fileCommands_;
    std::unique_ptr<TvxEditCommands> editCommands_;
    std::unique_ptr<TvxDiagramCommands> diagramCommands_;
    const QEvent* previewedKey_ = nullptr;
    quint64 previewedTime_ = 0;
    QPointer<QWidget> previewedReceiver_;
};

} // namespace morvane
