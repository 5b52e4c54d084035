#pragma once

#include "TestFiles.h"

#include <QList>
#include <QStringList>

// A catalogue laid into a test's data directory: the lists of categories and subcategories, and an
// item file for each subcategory, in Windows-1250.
struct TestSubcategory
{
    QString category;
    QString subcategory;
    QStringList fields; // the names of fields 1 .. 10 in turn, an empty text for a field without one
    // Each item's stored values: fields 1 .. 10, then "opis" and "komentarz", written as given.
    QList<QStringList> items;
};

void writeCatalogue(const TestDir &dir, const QList<TestSubcategory> &subcategories);
