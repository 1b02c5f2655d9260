#pragma once
// The preview window "Source code" that shows the compile listing. A close by
// the user only hides it; Unload() closes it for good.
#include <QWidget>

class QPlainTextEdit;

class frmPreview : public QWidget {
    Q_OBJECT
public:
    explicit frmPreview(QWidget* parent = nullptr);
    QPlainTextEdit* txtPreview;
    // Unloads the window from code.
    void Unload();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    bool mUnloading = false;
};
