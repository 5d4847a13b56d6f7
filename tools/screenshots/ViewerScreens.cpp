// The results viewer's windows on the run given to the tool: the graph menu,
// both mass-balance windows, the enlarged graph window (as a mass-balance
// chart opens it, and with its series controls) and the axis dialog.
#include <QCheckBox>
#include <cstdio>

#include "frontend/gui/MainForm.h"
#include "frontend/viewer/windows/AxisOptions.h"
#include "frontend/viewer/windows/ChartPanel.h"
#include "frontend/viewer/windows/GraphForm.h"
#include "frontend/viewer/windows/GraphMenu.h"
#include "frontend/viewer/windows/MassBalanceForms.h"
#include "tools/screenshots/Screens.h"

namespace kirmel::screens {
namespace {

void OpenGraph(viewer::TGraphForm& form, viewer::TChartPanel& panel, const std::string& title) {
  form.SourceChart = &panel.Chart;
  form.SourceRedraw = [&panel] { panel.Redraw(); };
  form.GraphTitle = title;
  form.XDescription = "time (d)";
  form.YDescription = "mass (mg)";
}

void RenderViewer(TScreenContext& c) {
  if (c.RunDir.empty()) {
    std::printf("No run directory given: the viewer's windows are left out\n");
    return;
  }
  viewer::ShowReaderMessagesAsErrors();

  viewer::TGraphMenuForm menu(&c.Main);
  menu.OutputDir = c.RunDir;
  menu.Root = c.Root;
  c.Save(&menu, "TGraphMenuForm");

  viewer::TMassBalanceSedGraphForm sediment(&menu, c.RunDir);
  sediment.SetRoot(c.Root);
  c.Save(&sediment, "TMassBalanceSedGraphForm");
  sediment.hide();

  viewer::TMassBalanceWLGraphForm water(&menu, c.RunDir);
  water.SetRoot(c.Root);
  c.Save(&water, "TMassBalanceWLGraphForm");

  // As the zoom button of the lower chart opens it.
  {
    viewer::TGraphForm graph(&water);
    graph.ChckMarkers()->hide();
    graph.HideSeriesControls();
    OpenGraph(graph, water.Negative(), water.windowTitle().toStdString());
    c.Save(&graph, "TGraphForm");

    viewer::TFrmAxisOptions axis(&graph);
    axis.Chart = &graph.Chart1();
    c.Save(&axis, "TFrmAxisOptions");
    axis.hide();
    graph.hide();
  }
  // With its series check boxes, table buttons and markers.
  {
    viewer::TGraphForm graph(&water);
    OpenGraph(graph, water.Positive(), water.windowTitle().toStdString());
    graph.LegendTitle = "Terms";
    c.Save(&graph, "TGraphForm-SeriesControls");
    graph.hide();
  }
  water.hide();
  menu.hide();
}

TScreenRegistrar viewerWindows("40-viewer", RenderViewer);

}  // namespace
}  // namespace kirmel::screens
