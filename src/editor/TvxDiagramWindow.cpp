#include "editor/TvxDiagramWindow.h"

#include "editor/IvxPrompts.h"
#include "editor/TvxMessages.h"
#include "editor/vxStrings.h"
#include "views/TvxDiagramView.h"

#include <QAction>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QToolBar>
#include <QVBoxLayout>

#include "diagram/TvxDiagramGraph.h"

namespace morvane {

namespace {

std::string Text(int id)
{
    return vxLoadString(id).toStdString();
}

} // namespace

TvxDiagramTexts DiagramTextsFromStrings()
{
    // The words drawn in a diagram are the strings 10211 to 10223, in this order.
    using Texts = TvxDiagramTexts;
    static constexpr std::string Texts::*members[] = {&Texts::tablesWithoutRules,
                                                      &Texts::legend,
                                                      &Texts::added,
                                                      &Texts::removed,
                                                      &Texts::renamed,
                                                      &Texts::changed,
                                                      &Texts::indexes,
                                                      &Texts::protectedTable,
                                                      &Texts::missingTable,
                                                      &Texts::updateRule,
                                                      &Texts::cascade,
                                                      &Texts::prohibit,
                                                      &Texts::formerly};
    TvxDiagramTexts texts;
    int id = 10211;
    for (std::string Texts::*member : members)
        texts.*member = Text(id++);
    return texts;
}

TvxDiagramWindow::TvxDiagramWindow(TvxDiagram diagram, std::unique_ptr<TvxDiagramGraph> graph, IvxPrompts& prompts,
                                   TvxMessages& messages, QWidget* parent)
    : QWidget(parent, Qt::Window), diagram_(std::move(diagram)), graph_(std::move(graph)), prompts_(prompts),
      messages_(messages)
{
    setObjectName(QStringLiteral("DiagramWindow"));
    setWindowTitle(vxLoadString(vxStrDiagram));
    setAttribute(Qt::WA_DeleteOnClose);
    resize(900, 650);

    auto* tools = new QToolBar(this);
    tools->setObjectName(QStringLiteral("DiagramTools"));
    tools->setAccessibleName(vxLoadString(vxStrDiagramToolBar));
    const auto action = [&](const char* name, int text, QKeySequence key) {
        QAction* a = tools->addAction(vxLoadString(text));
        a->setObjectName(QLatin1String(name));
        a->setShortcut(key);
        return a;
    };
    ZoomIn = action("DiagramZoomIn", vxStrDiagramZoomIn, QKeySequence::ZoomIn);
    ZoomOut = action("DiagramZoomOut", vxStrDiagramZoomOut, QKeySequence::ZoomOut);
    Fit = action("DiagramFit", vxStrDiagramFit, QKeySequence(Qt::CTRL | Qt::Key_0));
    tools->addSeparator();
    ExportPng = action("DiagramExportPng", vxStrDiagramExportPng, QKeySequence());
    ExportSvg = action("DiagramExportSvg", vxStrDiagramExportSvg, QKeySequence());
    Print = action("DiagramPrint", vxStrDiagramPrint, QKeySequence::Print);

    view_ = new TvxDiagramView(this);
    view_->setObjectName(QStringLiteral("DiagramView"));
    view_->setAccessibleName(vxLoadString(vxStrDiagramView));
    view_->SetDiagram(diagram_, graph_->Layout(), DiagramTextsFromStrings());

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(tools);
    layout->addWidget(view_);

    connect(ZoomIn, &QAction::triggered, view_, &TvxDiagramView::ZoomIn);
    connect(ZoomOut, &QAction::triggered, view_, &TvxDiagramView::ZoomOut);
    connect(Fit, &QAction::triggered, view_, &TvxDiagramView::FitAll);
    connect(ExportPng, &QAction::triggered, this, [this] { Export(TvxDiagramFormat::Png); });
    connect(ExportSvg, &QAction::triggered, this, [this] { Export(TvxDiagramFormat::Svg); });
    connect(Print, &QAction::triggered, this, &TvxDiagramWindow::PrintDiagram);
}

TvxDiagramWindow::~TvxDiagramWindow() = default;

void TvxDiagramWindow::Export(TvxDiagramFormat format)
{
    const bool png = format == TvxDiagramFormat::Png;
    TvxFileDialogOptions options;
    options.filter = vxLoadString(png ? vxStrDiagramPngFilter : vxStrDiagramSvgFilter);
    options.defaultSuffix = png ? QStringLiteral("png") : QStringLiteral("svg");
    options.overwritePrompt = true;
    const std::optional<QString> file = prompts_.SaveFile(options);
    if (!file)
        return;
    try {
        graph_->RenderToFile(file->toStdString(), format);
    } catch (const std::exception& e) {
        messages_.ShowFailure(e);
    }
}

void TvxDiagramWindow::PrintDiagram()
{
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    QPainter painter(&printer);
    QGraphicsScene* scene = view_->scene();
    // The picture is printed without the selection's highlight.
    const std::string selected = view_->SelectedTable();
    view_->SelectTable({});
    scene->render(&painter, QRectF(), scene->sceneRect(), Qt::KeepAspectRatio);
    view_->SelectTable(selected);
}

} // namespace morvane
