#pragma once
// Config_Project ("Проект"): the loaded project's name, link and controller address. The link
// kind and the controller address change in the model as soon as a list entry is chosen; the
// name waits for Ok. The main window follows the signals (enable itself, caption, schema).
#include <QDialog>

class ProjectModel;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

class ConfigProject : public QDialog {
    Q_OBJECT
public:
    explicit ConfigProject(ProjectModel &model, QWidget *parent = nullptr);

    // mnuNastrojki: fill the controls from the model and show the dialog.
    void showSettings();

    QLabel *Label1 = nullptr;
    QLineEdit *Name_Project_Text = nullptr;
    QLabel *Label2 = nullptr;
    QComboBox *Combo1 = nullptr;
    QLabel *Label3 = nullptr;
    QComboBox *Combo2 = nullptr;
    QLabel *Label5 = nullptr;
    QLineEdit *IP_addr = nullptr;
    QLabel *Label6 = nullptr;
    QLineEdit *Port = nullptr;
    QLabel *Label4 = nullptr;
    QLineEdit *Name_Schema_text = nullptr;
    QPushButton *Ok = nullptr;
    QPushButton *Cancel = nullptr;
    QTimer *Timer1 = nullptr;

Q_SIGNALS:
    void mainWindowEnabled(bool enabled);
    void surfaceCleared();   // the main window's drawing surface
    void captionChanged(const QString &caption);
    void blockSchemaRequested();

public Q_SLOTS:
    void reject() override;

private:
    void formLoad();
    void combo1Click();
    void combo2Click();
    void timer1Timer();
    void okClick();

    ProjectModel &model_;
    bool finished_ = true;
};
