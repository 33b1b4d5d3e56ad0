// Helpers of the theme's window tests: rendering a widget to an image at a
// device pixel ratio, saving it for people to look at, comparing colours.
#pragma once

#include <QColor>
#include <QImage>
#include <QString>
#include <QWidget>
#include <gtest/gtest.h>

// Renders the widget (and its children) as it would appear on screen.
QImage Render(QWidget* w, qreal dpr = 1.0);
// Writes the image as <name>.png into the test's working folder.
void SavePng(const QImage& img, const QString& name);
// The colour at logical point (x, y) of an image rendered at any ratio.
QColor At(const QImage& img, int x, int y);

// Colours equal within `tol` in each component.
::testing::AssertionResult Near(const QColor& got, const QColor& want, int tol = 0);
#define EXPECT_RGB(img, x, y, hex) EXPECT_TRUE(Near(At(img, x, y), QColor(hex)))
#define EXPECT_RGB_NEAR(img, x, y, hex, tol) EXPECT_TRUE(Near(At(img, x, y), QColor(hex), tol))
