#pragma once
// The datalog window: resets the brick's datalog, sets its size, uploads and
// lists it, draws it as a graph, saves, opens and prints it, and shows a page
// of instructions. Closing it only hides it, so its list, records, graph
// settings and range choice are there again the next time.
#include "datalog/core/DatalogGraph.h"
#include "datalog/core/DatalogUpload.h"
#include "model/Variant.h"

#include <QDialog>
#include <QPointer>

class QAction;
class QLabel;
class QListWidget;
class QPainter;
class QToolBar;
class frmGraphSettings;

class frmDatalog;

// The graph area: paints the graph or the instructions, reports the pointer.
class DatalogGraphArea : public QWidget {
public:
    DatalogGraphArea(frmDatalog* owner, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    frmDatalog* mOwner;
};

class frmDatalog : public QDialog, public IDatalogProgress {
    Q_OBJECT
public:
    explicit frmDatalog(QWidget* parent = nullptr);
    ~frmDatalog() override;

    // The one datalog window, made on first use.
    static frmDatalog* Instance();
    // Shows the window modally (the set-up window's datalog button).
    static void ShowDatalog();

    // --- The frame: toolbar, status strip, list (frmDatalog.cpp) ---
    void TB1_ButtonClick(const QString& key);
    void ShowHelp();
    void SetToolbarImages();
    QAction* Button(const QString& key) const;
    QString Panel(int panel) const;
    // IDatalogProgress.
    void SetPanel(int panel, const QString& text) override;
    void DoEvents() override;

    QToolBar* TB1;
    QListWidget* lstData;
    DatalogGraphArea* picGraph;
    QLabel* SB1[3];

    // --- The brick: reset, size, upload (frmDatalogBrick.cpp) ---
    void ResetDatalog();
    void SetDatalogSize();
    void UploadDatalog();
    Integer LastDatalogSize = 0;
    Long RangeMode = 0;
    Long RangeStart = 0;
    Long RangeSize = 0;

    // --- The graph and the instructions (frmDatalogGraph.cpp) ---
    void ShowGraph();
    // Draws the graph; a failure is shown once (later, from a repaint).
    void DrawGraph(IGraphSurface& surface, bool deferMessage = false);
    // The instructions page on a painter of the graph area's size.
    void ShowDatalogHelp(QPainter& painter);
    void picGraph_Paint(QPainter& painter);
    // The pointer over the graph area, in twips.
    void picGraph_MouseMove(double x, double y);
    // The bitmap of the graph at the graph area's size.
    QImage GraphImage();
    frmGraphSettings* GraphSettings() const;

    Boolean ShowingGraph = False;
    Boolean ShowingHelp = False;
    Boolean GraphErrorShown = False;
    DatalogGraph Graph;

    // --- Files and printouts (frmDatalogFiles.cpp) ---
    void SaveDatalog();
    void OpenDatalogFile();
    void PrintDatalog();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // The frame.
    void Form_Resize();
    void setTips(const QString& showData, const QString& showGraph);
    void showList();
    void showGraphArea();
    void fillList();
    void unloadSettings();
    bool listHasData() const;

    // The brick: readies the tower and empties the brick's datalog; false,
    // after saying why, when the brick does not answer or refuses.
    bool eraseBrickDatalog();
    bool askRange();

    // The graph.
    void printGraph();
    QPointer<frmGraphSettings> mSettings;
};

// The set-up window's datalog button (mdiMain::DatalogShowRequested) shows the
// datalog window, for as long as the main window lives.
class mdiMain;
void ConnectDatalogWindows(mdiMain& main);
