#pragma once
#include <QString>
#include <QWidget>

// Saves a PNG of the widget under <build>/screenshots/ so that a person can look at it; returns the
// path written, or an empty string.
QString saveScreenshot(QWidget& widget, const QString& name);
