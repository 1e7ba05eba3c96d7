#pragma once

#include <QMainWindow>

// The monthly stock window: criteria, the month's stock grid, display options, printing.
class fmTOVRAN : public QMainWindow
{
    Q_OBJECT
public:
    explicit fmTOVRAN(QWidget *parent = nullptr);
    ~fmTOVRAN() override;

    // Loads the window on first use (Form_Load) and shows it.
    void showWindow();
    bool isLoaded() const { return m_loaded; }

private:
    bool m_loaded = false;
};
