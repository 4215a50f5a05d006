#pragma once
// TFormDBScript: the main window. The upper half shows the open (current) database, the lower
// half the new structure that the script describes. It owns the connection `Database`, the
// menu and the handler objects of each menu; every question goes through its IvxPrompts and
// the help through its IvxHelp. The program creates the Portuguese variant TFormDBScriptPOR.

#include <QMainWindow>
#include <QPointer>

#include <memory>

#include "editor/IvxHelp.h"
#include "editor/IvxPrompts.h"

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
class TvxDataSetListBox;
class TvxDatabase;
class TvxFieldGrid;
class TvxFieldsListBox;
class TvxFileCommands;
class TvxHelpCommands;
class TvxScriptTableListView;
class TvxCommand;
class TvxDBScript;
class TvxScriptReplayer;

// The application's title; every message box of the editor is captioned with it.
inline constexpr char vxApplicationTitle[] = "Morvane";
inline constexpr char vxHelpFileName[] = "MORVANE.HLP";

// The texts that the window shows in its info panels, one set per half.
struct TvxInfoPanels
{
    QLabel* tableType = nullptr;
    QLabel* recordSize = nullptr;
    QLabel* bufferSize = nullptr;
    QLabel* fieldCount = nullptr;
    QLabel* indexCount = nullptr;
    QLabel* valCheckCount = nullptr;
    QLabel* refIntCount = nullptr;
    QLabel* date = nullptr;
    QLabel* time = nullptr;
    QLabel* restructureVersion = nullptr;
    QLabel* codePage = nullptr;
    QLabel* tableLevel = nullptr;
    QLabel* languageDriver = nullptr;
    QLabel* blockSize = nullptr;
};

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
    bool ScriptChanged = false;
    QString DocumentFileName;
    int HelpContext = vxHelpContents;

    // --- file dialogs, as the "&Arquivo" commands show them ---
    TvxFileDialogSpec Open{QStringLiteral("Arquivos do Morvane (vxscript)|*.vxscript"), QStringLiteral("vxscript"), {},
                           false};
    TvxFileDialogSpec Save{QStringLiteral("Arquivos do Morvane (vxscript)|*.vxscript"), QStringLiteral("vxscript"), {},
                           true};
    TvxFileDialogSpec OpenScripts{
        QStringLiteral("Scrip de atualização (VXUSP)|*.vxusp|Scrip de manuntenção (VXMSP)|*.vxmsp"), {}, {}, false};

    // --- message helpers ---
    // The string of that id; empty when it has none.
    static QString LoadMessage(int id);
    // The id's text (id 0's when it has none) in a box with an OK button.
    void ShowMessageCode(int id);
    // The id's text with its "%s"/"%S" replaced by argument, with the given buttons; the button
    // pressed. An id without text shows id 0's text with OK and answers Cancel.
    TvxMsgResult AskMessage(int id, const QString& argument, TvxMsgButtons buttons);
    // "%s" and "%S" replaced by argument; "%%" gives "%".
    static QString FormatMessage(const QString& text, const QString& argument);

    IvxEngine& Engine() const { return engine_; }
    IvxPrompts& Prompts() const { return *prompts_; }
    IvxHelp& Help() const { return *help_; }
    TvxDatabase& Database() const { return *database_; }
    TvxDBScript& StructScript() const { return *structScript_; }

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
    QLabel* PanelProtected = nullptr;
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
    QLabel* pnNewProtected = nullptr;
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
    QAction* mnScriptCreate = nullptr;
    QAction* mnScriptExecute = nullptr;
    QAction* mnScriptClear = nullptr;
    QAction* mnCommands = nullptr;
    QAction* mnExit = nullptr;
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

public slots:
    // "&Arquivo"
    void mnNewClick();
    void mnOpenClick();
    void mnSaveClick();
    void mnSaveAsClick();
    void mnScriptCreateClick();
    void mnScriptExecuteClick();
    void mnScriptClearClick();
    void mnCommandsClick();
    void mnExitClick();
    // An error code of the script executor (293-299): shown as its message, never dropped.
    void ExeScriptShowErrorMsg(int CodError);
    // "Alia&ses" and the alias controls
    void mnOpenDatabaseClick();
    void mnAliasAddPathClick();
    void mnAliasNewAddClick();
    void mnAliasNewDeleteClick();
    void ComboAliasChange();
    void BtnPathAliasClick();
    void SpdBtnPWClick();
    void DatabaseConnected(bool Value);
    // One command read back from a document: the new tables follow it. A source table that the
    // open database lacks is reported (10027) and ends the loading.
    void StructScriptAfterLoad(TvxCommand& Comm);
    bool DatabasePassword();
    // "&Tabela"
    void mnTableNewClick();
    void mnTableChangeClick();
    void mnTableAddClick();
    void mnTableDeleteClick();
    // "&Campos" and the field controls
    void mnFieldAddClick();
    void mnFieldChangeClick();
    void mnFieldMoveClick();
    void mnFieldDeleteClick();
    void FieldGridSelectField(int Row);
    // Enter (either key) in the field grid runs "&Alterar".
    void FieldGridKeyDown(int Key);
    void FieldsListChange();
    void EditNewValChange();
    void EditNewValExit();
    void CheckNewRequiredClick();
    // "&Índices" and the index controls
    void SpdBtnIdxAddClick();
    void SpdBtnIdxDelClick();
    void SpdBtnIdxAddFieldClick();
    void SpdBtnIdxDelFieldClick();
    void SpdBtnIdxMoveClick();
    void CheckNewIdxPropertyClick();
    void ListIndexChange();
    void NewIdxListChange();
    // "&Int. Ref." and the rule controls
    void SpdBtnRIntAddClick();
    void SpdBtnRIntDelClick();
    void SpdBtnRIntFieldAddClick();
    void SpdBtnRIntFieldDelClick();
    void RefIntListChange();
    void NewRIntListChange();
    void ComboTablesCloseUp();
    void GroupNewRuleClick();
    void CheckNewSRIClick();
    // selection of the two table lists
    void DataSetListChange();
    void DataSetListClick();
    void ScriptTableListViewChange();
    void ScriptTableListViewClick();
    // "Aj&uda"
    void mnHelpContentsClick();
    void mnHelpAboutClick();

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

private:
    void BuildLayout();
    void BuildMenu();
    QWidget* BuildAliasPage();
    QWidget* BuildInfoPage(TvxInfoPanels& panels, QLabel*& protectedPanel, bool lower);
    QWidget* BuildCurrentFieldsPage();
    QWidget* BuildCurrentIndexPage();
    QWidget* BuildCurrentRefIntPage();
    QWidget* BuildNewAliasPage();
    QWidget* BuildNewFieldsPage();
    QWidget* BuildNewIndexPage();
    QWidget* BuildNewRefIntPage();

    IvxEngine& engine_;
    std::unique_ptr<IvxPrompts> prompts_;
    std::unique_ptr<IvxHelp> help_;
    std::unique_ptr<TvxDatabase> database_;
    std::unique_ptr<TvxDBScript> structScript_;
    std::unique_ptr<TvxScriptReplayer> replayer_;
    std::unique_ptr<TvxHelpCommands> helpCommands_;
    std::unique_ptr<TvxFileCommands> fileCommands_;
    std::unique_ptr<TvxAliasCommands> aliasCommands_;
    const QEvent* previewedKey_ = nullptr;
    quint64 previewedTime_ = 0;
    QPointer<QWidget> previewedReceiver_;
};

} // namespace morvane
