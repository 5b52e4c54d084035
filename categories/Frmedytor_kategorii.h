#pragma once

#include "app/FormStyle.h"

#include <optional>

class QListWidget;
class QPushButton;

// All categories and the subcategories of the chosen one: adding, renaming, reordering, deleting.
class TfrmKategorie : public Form
{
public:
    explicit TfrmKategorie(QWidget *parent = nullptr);
    // Reloads whenever one of the add and rename windows, made after the editor as its own, closes.
    void followNameWindows();

    QListWidget *ListBox1;
    QPushButton *btnDodaj;
    QPushButton *btnEdytuj;
    QPushButton *btnUsun;
    QPushButton *btnKategoria_dogory;
    QPushButton *btnKategoria_wdol;
    QListWidget *ListBox2;
    QPushButton *btnDodaj_podkategorie;
    QPushButton *btnEdytuj_podkategorie;
    QPushButton *btnUsun_podkategorie;
    QPushButton *btnPodkategoria_dogory;
    QPushButton *btnPodkategoria_wdol;
    QPushButton *btnZamknij;

    // The category whose subcategories ListBox2 shows; kept for as long as the program runs.
    const QString &currentCategory() const { return m_category; }

    // The row chosen now, which the rename windows take when they open: its number and text, and
    // for a subcategory the category whose list it is in.
    struct Choice
    {
        int row = -1;
        QString name;
        QString category;
    };
    std::optional<Choice> chosenCategory() const;
    std::optional<Choice> chosenSubcategory() const;

    void FormActivate();
    void ListBox1Click();
    void ListBox2Click();
    void btnUsunClick();
    void btnUsun_podkategorieClick();
    void moveCategory(int step);
    void moveSubcategory(int step);
    void FormClose();

protected:
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void setCategoryButtons(bool enabled);
    void setSubcategoryButtons(bool enabled);
    // Shows an add or rename window beside the editor; the editor reloads when it closes.
    void showBeside(QDialog *window);

    QString m_category;
    bool m_activationPending = false;
    int m_choices = 0; // rows chosen by the user so far
};

extern TfrmKategorie *frmKategorie;
