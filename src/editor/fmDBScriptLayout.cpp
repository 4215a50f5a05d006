// The main window's controls: both halves, their tabs and the splitter between them.

#include "editor/fmDBScript.h"

#include "views/cpComboBox.h"
#include "views/cpDataSetListBox.h"
#include "views/cpFieldGrid.h"
#include "views/cpFieldsListBox.h"
#include "views/cpScriptTableListView.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSplitter>
#include <QStyle>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace morvane {

namespace {

template <class T>
T* Named(T* widget, const char* name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

QLabel* CaptionFor(QWidget* parent, QWidget* buddy)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QStringLiteral("lb") + buddy->objectName());
    label->setBuddy(buddy);
    return label;
}

// The widget at (row, column + 1) of the grid, its caption label at (row, column).
void AddCaptioned(QGridLayout* grid, QWidget* parent, QWidget* widget, int row, int column)
{
    grid->addWidget(CaptionFor(parent, widget), row, column);
    grid->addWidget(widget, row, column + 1);
}

// The validation fields of a "Campos" tab: minimum and maximum, then default and picture.
QGridLayout* ValidationGrid(QWidget* panel, QLineEdit* minimum, QLineEdit* maximum, QLineEdit* defaultValue,
                            QLineEdit* picture)
{
    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(4, 4, 4, 4);
    AddCaptioned(grid, panel, minimum, 0, 0);
    AddCaptioned(grid, panel, maximum, 0, 2);
    AddCaptioned(grid, panel, defaultValue, 1, 0);
    AddCaptioned(grid, panel, picture, 1, 2);
    return grid;
}

QLineEdit* ReadOnlyEdit(QWidget* parent, const char* name)
{
    auto* edit = Named(new QLineEdit(parent), name);
    edit->setReadOnly(true);
    return edit;
}

// A framed read-only text panel, wide enough in the given font for the longest value shown, a date.
QLabel* Panel(QWidget* parent, const char* name, const QFont& font)
{
    auto* panel = Named(new QLabel(parent), name);
    panel->setFrameShape(QFrame::StyledPanel);
    panel->setFrameShadow(QFrame::Sunken);
    panel->setMinimumWidth(QFontMetrics(font).horizontalAdvance(QStringLiteral("00/00/0000")) + 10);
    panel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return panel;
}

// A value of an "Informações" tab: a read-only field, which screen readers announce by its
// caption with the value it shows, and whose frame shows whole on any page colour.
QLineEdit* InfoPanel(QWidget* parent, const QString& name, const QFont& font)
{
    auto* panel = new QLineEdit(parent);
    panel->setObjectName(name);
    panel->setReadOnly(true);
    panel->setMinimumWidth(QFontMetrics(font).horizontalAdvance(QStringLiteral("00/00/0000")) + 12);
    return panel;
}

QToolButton* SpeedButton(QWidget* parent, const char* name, const QString& accessibleName)
{
    auto* button = Named(new QToolButton(parent), name);
    button->setAutoRaise(true);
    button->setAccessibleName(accessibleName);
    button->setToolTip(accessibleName);
    return button;
}

// A flat button showing one bold glyph ("+" or the minus bar).
QToolButton* GlyphButton(QWidget* parent, const char* name, const QString& glyph, int pixelSize,
                         const QString& accessibleName)
{
    auto* button = SpeedButton(parent, name, accessibleName);
    button->setText(glyph);
    QFont font = button->font();
    font.setBold(true);
    font.setPixelSize(pixelSize);
    button->setFont(font);
    button->setFixedSize(30, 30);
    return button;
}

QToolButton* PlusButton(QWidget* parent, const char* name, const QString& accessibleName)
{
    return GlyphButton(parent, name, QStringLiteral("+"), 24, accessibleName);
}

QToolButton* MinusButton(QWidget* parent, const char* name, const QString& accessibleName)
{
    return GlyphButton(parent, name, QStringLiteral("\u2501"), 20, accessibleName);
}

// An arrow glyph; the icon greys itself while the button is disabled.
QToolButton* ArrowButton(QWidget* parent, const char* name, Qt::ArrowType arrow, const QString& accessibleName)
{
    auto* button = SpeedButton(parent, name, accessibleName);
    const QStyle::StandardPixmap glyph = arrow == Qt::RightArrow  ? QStyle::SP_ArrowRight
                                         : arrow == Qt::LeftArrow ? QStyle::SP_ArrowLeft
                                         : arrow == Qt::UpArrow   ? QStyle::SP_ArrowUp
                                                                  : QStyle::SP_ArrowDown;
    button->setIcon(button->style()->standardIcon(glyph));
    button->setIconSize(QSize(20, 20));
    return button;
}

// Call once both parts are in. A palette rather than a style sheet, which would stop the
// window's font from reaching the controls.
void BlueHandle(QSplitter* splitter, int width)
{
    splitter->setHandleWidth(width);
    splitter->setChildrenCollapsible(false);
    QSplitterHandle* handle = splitter->handle(1);
    QPalette palette = handle->palette();
    palette.setColor(QPalette::Window, Qt::blue);
    handle->setPalette(palette);
    handle->setAutoFillBackground(true);
}

// A "Campos" tab: the field list above, the validation panel below a 3-pixel blue splitter.
void SplitFieldsPage(QWidget* page, QSplitter* splitter, QWidget* fields, QWidget* validation)
{
    splitter->addWidget(fields);
    splitter->addWidget(validation);
    BlueHandle(splitter, 3);
    splitter->setStretchFactor(0, 1);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(splitter);
}

QTreeWidget* ReportList(QWidget* parent, const char* name, const QStringList& headers)
{
    auto* list = Named(new QTreeWidget(parent), name);
    list->setRootIsDecorated(false);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setColumnCount(static_cast<int>(headers.size()));
    list->setHeaderLabels(headers);
    return list;
}

} // namespace

void TFormDBScript::BuildLayout()
{
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("ClientArea"));
    Splitter = Named(new QSplitter(Qt::Vertical, central), "Splitter");

    pnActual = Named(new QWidget(Splitter), "pnActual");
    DataSetList = Named(new TvxDataSetListBox(pnActual), "DataSetList");
    DataSetList->setFixedWidth(120);
    DataSetList->SetSorted(true);
    DataSetList->setAccessibleName(QStringLiteral("Tabelas"));
    PageDatabase = Named(new QTabWidget(pnActual), "PageDatabase");
    auto* upper = new QHBoxLayout(pnActual);
    upper->setContentsMargins(0, 0, 0, 0);
    upper->addWidget(DataSetList);
    upper->addWidget(PageDatabase, 1);
    // The pages join the focus chain here, so that Tab walks the upper half before the lower.
    PageDatabase->addTab(BuildAliasPage(), {});
    PageDatabase->addTab(BuildInfoPage(Info, PanelProtected, false), {});
    PageDatabase->addTab(BuildCurrentFieldsPage(), {});
    PageDatabase->addTab(BuildCurrentIndexPage(), {});
    PageDatabase->addTab(BuildCurrentRefIntPage(), {});

    pnNew = Named(new QWidget(Splitter), "pnNew");
    ScriptTableListView = Named(new TvxScriptTableListView(pnNew), "ScriptTableListView");
    ScriptTableListView->setFixedWidth(121);
    ScriptTableListView->setAccessibleName(QStringLiteral("Novas tabelas"));
    PageNew = Named(new QTabWidget(pnNew), "PageNew");
    auto* lower = new QHBoxLayout(pnNew);
    lower->setContentsMargins(0, 0, 0, 0);
    lower->addWidget(ScriptTableListView);
    lower->addWidget(PageNew, 1);
    PageNew->addTab(BuildNewAliasPage(), {});
    PageNew->addTab(BuildInfoPage(NewInfo, pnNewProtected, true), {});
    PageNew->addTab(BuildNewFieldsPage(), {});
    PageNew->addTab(BuildNewIndexPage(), {});
    PageNew->addTab(BuildNewRefIntPage(), {});

    Splitter->addWidget(pnActual);
    Splitter->addWidget(pnNew);
    BlueHandle(Splitter, 5);
    // Room the window gains goes to both halves alike, the editable lower one included.
    Splitter->setStretchFactor(0, 1);
    Splitter->setStretchFactor(1, 1);
    Splitter->setSizes({556 - 254, 254});
    // Tab goes to what can be edited or chosen; read-only fields stay readable by screen readers
    // and selectable with the mouse.
    for (QLineEdit* edit : findChildren<QLineEdit*>())
        if (edit->isReadOnly())
            edit->setFocusPolicy(Qt::ClickFocus);
    MemoIdxProperty->setFocusPolicy(Qt::ClickFocus);
    // The name columns take the room the window gains.
    FieldsList->header()->setStretchLastSection(false);
    FieldsList->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    FieldGrid->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);

    auto* client = new QVBoxLayout(central);
    client->setContentsMargins(0, 0, 0, 0);
    client->addWidget(Splitter);
    setCentralWidget(central);

    PageDatabase->setCurrentIndex(0);
    PageNew->setCurrentIndex(0);

    DataSetList->SetStructList(FieldsList);
    ScriptTableListView->SetFieldGrid(FieldGrid);
}

QWidget* TFormDBScript::BuildAliasPage()
{
    auto* page = Named(new QWidget, "TabAlias");
    ComboAlias = Named(new QComboBox(page), "ComboAlias");
    ComboAlias->setEditable(false);
    EditPath = ReadOnlyEdit(page, "EditPath");
    BtnPath = Named(new QPushButton(page), "BtnPath");
    BtnPath->setAccessibleName(QStringLiteral("Escolher diretório"));
    BtnPath->setFixedWidth(28);
    auto* grid = new QGridLayout(page);
    AddCaptioned(grid, page, ComboAlias, 0, 0);
    AddCaptioned(grid, page, EditPath, 1, 0);
    grid->addWidget(BtnPath, 1, 2);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(2, 1);
    return page;
}

QWidget* TFormDBScript::BuildInfoPage(TvxInfoPanels& panels, QLineEdit*& protectedPanel, bool lower)
{
    auto* page = Named(new QWidget, lower ? "TabNewInfo" : "TabInfo");
    const QString prefix = lower ? QStringLiteral("New") : QString();
    auto* grid = new QGridLayout(page);
    grid->setContentsMargins(6, 6, 6, 6);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(2);
    struct Row
    {
        const char* key;
        QLineEdit** panel;
    };
    // The table type heads the page with the protected state beside it; the other thirteen
    // follow in two columns.
    const Row rows[] = {
        {"TableType", &panels.tableType},
        {"RecordSize", &panels.recordSize},
        {"BufferSize", &panels.bufferSize},
        {"FieldCount", &panels.fieldCount},
        {"IndexCount", &panels.indexCount},
        {"ValCheckCount", &panels.valCheckCount},
        {"RefIntCount", &panels.refIntCount},
        {"Date", &panels.date},
        {"Time", &panels.time},
        {"RestructureVersion", &panels.restructureVersion},
        {"CodePage", &panels.codePage},
        {"TableLevel", &panels.tableLevel},
        {"LanguageDriver", &panels.languageDriver},
        {"BlockSize", &panels.blockSize},
    };
    int index = 0;
    for (const Row& row : rows) {
        const QString key = prefix + QLatin1String(row.key);
        auto* panel = InfoPanel(page, QStringLiteral("pn") + key, font());
        auto* label = new QLabel(page);
        label->setObjectName(QStringLiteral("lb") + key);
        label->setBuddy(panel);
        *row.panel = panel;
        const int gridRow = index == 0 ? 0 : index <= 6 ? index : index - 6;
        const int column = index <= 6 ? 0 : 2;
        grid->addWidget(label, gridRow, column);
        grid->addWidget(panel, gridRow, column + 1);
        ++index;
    }
    protectedPanel = InfoPanel(page, lower ? QStringLiteral("pnNewProtected") : QStringLiteral("PanelProtected"), font());
    protectedPanel->setAccessibleName(QStringLiteral("Proteção"));
    grid->addWidget(protectedPanel, 0, 2);
    if (lower) {
        SpdBtnPW = Named(new QToolButton(page), "SpdBtnPW");
        SpdBtnPW->setAutoRaise(true);
        grid->addWidget(SpdBtnPW, 0, 3, Qt::AlignLeft);
        ComboNewLangDriver = Named(new QComboBox(page), "ComboNewLangDriver");
        ComboNewLangDriver->setAccessibleName(QStringLiteral("Driver do Idioma"));
        ComboNewLangDriver->setVisible(false);
        grid->addWidget(ComboNewLangDriver, 8, 0, 1, 2);
    }
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    grid->setRowStretch(8, 1);
    return page;
}

QWidget* TFormDBScript::BuildCurrentFieldsPage()
{
    auto* page = Named(new QWidget, "TabFields");
    auto* splitter = Named(new QSplitter(Qt::Vertical, page), "SplitterFields");
    FieldsList = Named(new TvxFieldsListBox(splitter), "FieldsList");
    FieldsList->setAccessibleName(QStringLiteral("Campos"));
    auto* validation = Named(new QWidget(splitter), "PanelValidation");
    EditMin = ReadOnlyEdit(validation, "EditMin");
    EditMax = ReadOnlyEdit(validation, "EditMax");
    EditDefault = ReadOnlyEdit(validation, "EditDefault");
    EditPicture = ReadOnlyEdit(validation, "EditPicture");
    PanelRequired = Panel(validation, "PanelRequired", font());
    PanelRequired->setAccessibleName(QStringLiteral("Requerido"));
    auto* grid = ValidationGrid(validation, EditMin, EditMax, EditDefault, EditPicture);
    AddCaptioned(grid, validation, PanelRequired, 2, 0);
    grid->setRowStretch(3, 1);
    for (QWidget* w : {static_cast<QWidget*>(EditMin), static_cast<QWidget*>(EditMax),
                       static_cast<QWidget*>(EditDefault), static_cast<QWidget*>(EditPicture)})
        w->setEnabled(false);
    SplitFieldsPage(page, splitter, FieldsList, validation);
    return page;
}

QWidget* TFormDBScript::BuildCurrentIndexPage()
{
    auto* page = Named(new QWidget, "TabIndexes");
    ListIndex = ReportList(page, "ListIndex", {QStringLiteral("Nome")});
    ListIndex->setColumnWidth(0, 150);
    ListIndex->setAccessibleName(QStringLiteral("Índices"));
    ListIdxFields = Named(new QListWidget(page), "ListIdxFields");
    MemoIdxProperty = Named(new QPlainTextEdit(page), "MemoIdxProperty");
    MemoIdxProperty->setReadOnly(true);
    MemoIdxProperty->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    MemoIdxProperty->setAccessibleName(QStringLiteral("Propriedades do índice"));
    auto* grid = new QGridLayout(page);
    grid->addWidget(ListIndex, 0, 0, 3, 1);
    grid->addWidget(CaptionFor(page, ListIdxFields), 0, 1);
    grid->addWidget(ListIdxFields, 1, 1);
    grid->addWidget(MemoIdxProperty, 2, 1);
    return page;
}

QWidget* TFormDBScript::BuildCurrentRefIntPage()
{
    auto* page = Named(new QWidget, "TabRefInt");
    RefIntList = ReportList(page, "RefIntList", {QString()});
    RefIntList->setHeaderHidden(true);
    RefIntList->setColumnWidth(0, 101);
    RefIntList->setAccessibleName(QStringLiteral("Integridades referenciais"));
    RIFieldList = Named(new QListWidget(page), "RIFieldList");
    RIParentFieldList = Named(new QListWidget(page), "RIParentFieldList");
    EditRITable = ReadOnlyEdit(page, "EditRITable");
    EditRIType = ReadOnlyEdit(page, "EditRIType");
    EditSRI = ReadOnlyEdit(page, "EditSRI");
    EditUpdateRule = ReadOnlyEdit(page, "EditUpdateRule");
    auto* grid = new QGridLayout(page);
    grid->addWidget(RefIntList, 0, 0, 6, 1);
    grid->addWidget(CaptionFor(page, RIFieldList), 0, 1);
    grid->addWidget(CaptionFor(page, RIParentFieldList), 0, 2);
    grid->addWidget(RIFieldList, 1, 1);
    grid->addWidget(RIParentFieldList, 1, 2);
    auto* form = new QFormLayout;
    form->addRow(CaptionFor(page, EditRITable), EditRITable);
    form->addRow(CaptionFor(page, EditRIType), EditRIType);
    form->addRow(CaptionFor(page, EditSRI), EditSRI);
    form->addRow(CaptionFor(page, EditUpdateRule), EditUpdateRule);
    grid->addLayout(form, 2, 1, 1, 2);
    return page;
}

QWidget* TFormDBScript::BuildNewAliasPage()
{
    auto* page = Named(new QWidget, "TabNewAlias");
    EditNewAlias = ReadOnlyEdit(page, "EditNewAlias");
    EditNewDrive = ReadOnlyEdit(page, "EditNewDrive");
    EditNewPath = ReadOnlyEdit(page, "EditNewPath");
    BtnPathNew = Named(new QPushButton(page), "BtnPathNew");
    BtnPathNew->setAccessibleName(QStringLiteral("Escolher diretório do novo alias"));
    BtnPathNew->setFixedWidth(28);
    auto* grid = new QGridLayout(page);
    AddCaptioned(grid, page, EditNewAlias, 0, 0);
    AddCaptioned(grid, page, EditNewDrive, 1, 0);
    AddCaptioned(grid, page, EditNewPath, 2, 0);
    grid->addWidget(BtnPathNew, 2, 2);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(3, 1);
    return page;
}

QWidget* TFormDBScript::BuildNewFieldsPage()
{
    auto* page = Named(new QWidget, "TabNewFields");
    auto* splitter = Named(new QSplitter(Qt::Vertical, page), "SplitterNewFields");
    FieldGrid = Named(new TvxFieldGrid(splitter), "FieldGrid");
    FieldGrid->SetColumns({QStringLiteral("Nome"), QStringLiteral("Tipo"), QStringLiteral("Compr.")});
    FieldGrid->setColumnWidth(0, 189);
    FieldGrid->setColumnWidth(1, 93);
    FieldGrid->setColumnWidth(2, 53);
    FieldGrid->setAccessibleName(QStringLiteral("Campos da nova tabela"));
    auto* validation = Named(new QWidget(splitter), "PanelNewValidation");
    EditNewMin = Named(new QLineEdit(validation), "EditNewMin");
    EditNewMax = Named(new QLineEdit(validation), "EditNewMax");
    EditNewDefault = Named(new QLineEdit(validation), "EditNewDefault");
    EditNewPicture = Named(new QLineEdit(validation), "EditNewPicture");
    CheckNewRequired = Named(new QCheckBox(validation), "CheckNewRequired");
    BtnNewPicture = Named(new QPushButton(validation), "BtnNewPicture");
    BtnNewPicture->setAccessibleName(QStringLiteral("Formato"));
    BtnNewPicture->setFixedWidth(28);
    BtnNewPicture->setVisible(false);
    auto* grid = ValidationGrid(validation, EditNewMin, EditNewMax, EditNewDefault, EditNewPicture);
    grid->addWidget(BtnNewPicture, 1, 4);
    grid->addWidget(CheckNewRequired, 2, 1);
    SplitFieldsPage(page, splitter, FieldGrid, validation);
    return page;
}

QWidget* TFormDBScript::BuildNewIndexPage()
{
    auto* page = Named(new QWidget, "TabNewIndexes");
    NewIdxFieldsList = Named(new QListWidget(page), "NewIdxFieldsList");
    SpdBtnIdxAddField = ArrowButton(page, "SpdBtnIdxAddField", Qt::RightArrow, QStringLiteral("Incluir campo"));
    SpdBtnIdxDelField = ArrowButton(page, "SpdBtnIdxDelField", Qt::LeftArrow, QStringLiteral("Apagar campo"));
    NewIdxList = ReportList(page, "NewIdxList", {QStringLiteral("Nome do índice")});
    NewIdxList->setColumnWidth(0, 120);
    NewIdxList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    NewIdxList->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    NewIdxList->setAccessibleName(QStringLiteral("Índices da nova tabela"));
    SpdBtnIdxAdd = PlusButton(page, "SpdBtnIdxAdd", QStringLiteral("Incluir índice"));
    SpdBtnIdxDel = MinusButton(page, "SpdBtnIdxDel", QStringLiteral("Apagar índice"));
    NewIdxFieldUsedList = Named(new QListWidget(page), "NewIdxFieldUsedList");
    SpdBtnIdxMoveUp = ArrowButton(page, "SpdBtnIdxMoveUp", Qt::UpArrow, QStringLiteral("Mover para cima"));
    SpdBtnIdxMoveDown = ArrowButton(page, "SpdBtnIdxMoveDown", Qt::DownArrow, QStringLiteral("Mover para baixo"));
    GroupNewIdxProps = Named(new QGroupBox(page), "GroupNewIdxProps");
    CheckNewUnique = Named(new QCheckBox(GroupNewIdxProps), "CheckNewUnique");
    CheckNewMaint = Named(new QCheckBox(GroupNewIdxProps), "CheckNewMaint");
    CheckNewCaseInsens = Named(new QCheckBox(GroupNewIdxProps), "CheckNewCaseInsens");
    CheckNewDesc = Named(new QCheckBox(GroupNewIdxProps), "CheckNewDesc");
    auto* props = new QGridLayout(GroupNewIdxProps);
    props->setContentsMargins(6, 2, 6, 2);
    props->setVerticalSpacing(0);
    props->addWidget(CheckNewUnique, 0, 0);
    props->addWidget(CheckNewMaint, 1, 0);
    props->addWidget(CheckNewCaseInsens, 0, 1);
    props->addWidget(CheckNewDesc, 1, 1);

    auto* fieldButtons = new QVBoxLayout;
    fieldButtons->addStretch(1);
    fieldButtons->addWidget(SpdBtnIdxAddField);
    fieldButtons->addWidget(SpdBtnIdxDelField);
    fieldButtons->addStretch(1);
    auto* indexButtons = new QVBoxLayout;
    indexButtons->addWidget(SpdBtnIdxAdd);
    indexButtons->addWidget(SpdBtnIdxDel);
    indexButtons->addStretch(1);
    auto* moveButtons = new QVBoxLayout;
    moveButtons->addStretch(1);
    moveButtons->addWidget(SpdBtnIdxMoveUp);
    moveButtons->addWidget(SpdBtnIdxMoveDown);
    moveButtons->addStretch(1);

    auto* grid = new QGridLayout(page);
    grid->setContentsMargins(4, 4, 4, 4);
    grid->setSpacing(4);
    grid->addWidget(CaptionFor(page, NewIdxFieldsList), 0, 0);
    grid->addWidget(NewIdxFieldsList, 1, 0, 2, 1);
    grid->addLayout(fieldButtons, 1, 1, 2, 1);
    grid->addWidget(NewIdxList, 1, 2);
    grid->addLayout(indexButtons, 1, 3);
    grid->addWidget(CaptionFor(page, NewIdxFieldUsedList), 0, 4);
    grid->addWidget(NewIdxFieldUsedList, 1, 4);
    grid->addLayout(moveButtons, 1, 5);
    grid->addWidget(GroupNewIdxProps, 2, 2, 1, 4);
    for (int column : {0, 2, 4})
        grid->setColumnStretch(column, 1);
    return page;
}

QWidget* TFormDBScript::BuildNewRefIntPage()
{
    auto* page = Named(new QWidget, "TabNewRefInt");
    NewRIntList = Named(new QListWidget(page), "NewRIntList");
    NewRIntList->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    SpdBtnRIntAdd = PlusButton(page, "SpdBtnRIntAdd", QStringLiteral("Incluir integridade referencial"));
    SpdBtnRIntDel = MinusButton(page, "SpdBtnRIntDel", QStringLiteral("Apagar integridade referencial"));
    ComboTables = Named(new TvxCombobox(page), "ComboTables");
    ListNewRIFields = Named(new QListWidget(page), "ListNewRIFields");
    SpdBtnRIntFieldAdd = ArrowButton(page, "SpdBtnRIntFieldAdd", Qt::RightArrow, QStringLiteral("Incluir campo"));
    SpdBtnRIntFieldDel = ArrowButton(page, "SpdBtnRIntFieldDel", Qt::LeftArrow, QStringLiteral("Apagar campo"));
    ScrollNewFieldREL = Named(new QScrollArea(page), "ScrollNewFieldREL");
    ScrollNewFieldREL->setFixedSize(170, 141);
    ScrollNewFieldREL->setAccessibleName(QStringLiteral("Relação dos campos"));
    auto* drawing = Named(new QWidget, "RelationDrawing");
    drawing->setMinimumSize(160, 130);
    ScrollNewFieldREL->setWidget(drawing);
    GroupNewRule = Named(new QGroupBox(page), "GroupNewRule");
    RadioNewRuleCascade = Named(new QRadioButton(GroupNewRule), "RadioNewRuleCascade");
    RadioNewRuleProhibit = Named(new QRadioButton(GroupNewRule), "RadioNewRuleProhibit");
    auto* rule = new QHBoxLayout(GroupNewRule);
    rule->setContentsMargins(4, 2, 4, 2);
    rule->addWidget(RadioNewRuleCascade);
    rule->addWidget(RadioNewRuleProhibit);
    CheckNewSRI = Named(new QCheckBox(page), "CheckNewSRI");
    CheckNewSRI->setVisible(false);

    auto* ruleButtons = new QVBoxLayout;
    ruleButtons->addWidget(SpdBtnRIntAdd);
    ruleButtons->addWidget(SpdBtnRIntDel);
    ruleButtons->addStretch(1);
    auto* fieldButtons = new QVBoxLayout;
    fieldButtons->addStretch(1);
    fieldButtons->addWidget(SpdBtnRIntFieldAdd);
    fieldButtons->addWidget(SpdBtnRIntFieldDel);
    fieldButtons->addStretch(1);

    // Rules and their buttons on the left; master table and candidate fields in the middle; the
    // drawing of the field pairs on the right, with the update rule under it.
    auto* middle = new QVBoxLayout;
    middle->setSpacing(2);
    middle->addWidget(CaptionFor(page, ComboTables));
    middle->addWidget(ComboTables);
    middle->addWidget(CaptionFor(page, ListNewRIFields));
    middle->addWidget(ListNewRIFields, 1);

    auto* grid = new QGridLayout(page);
    grid->setContentsMargins(4, 4, 4, 4);
    grid->setSpacing(4);
    grid->addWidget(CaptionFor(page, NewRIntList), 0, 0);
    grid->addWidget(NewRIntList, 1, 0, 2, 1);
    grid->addLayout(ruleButtons, 1, 1, 2, 1);
    grid->addLayout(middle, 0, 2, 3, 1);
    grid->addLayout(fieldButtons, 0, 3, 3, 1);
    grid->addWidget(ScrollNewFieldREL, 0, 4, 2, 1);
    grid->addWidget(GroupNewRule, 2, 4);
    grid->addWidget(CheckNewSRI, 3, 4);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(2, 1);
    grid->setRowStretch(1, 1);
    return page;
}

} // namespace morvane
