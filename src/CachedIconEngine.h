#pragma once

#include <QIconEnginePlugin>

#include <private/qicon_p.h>

// Icons made from the program's compiled-in PNG pictures. Every style sheet rule with an "image:" makes
// an icon of its own, and Qt decodes the picture anew for each one: a list of a thousand rows, whose forms
// name nine pictures each, decoded them nine thousand times. The pictures never change while the
// program runs, so each is decoded once and its pixmaps are shared; everything else is Qt's own engine.
class CachedIconEngine : public QPixmapIconEngine
{
public:
    CachedIconEngine() = default;
    CachedIconEngine(const CachedIconEngine& other) = default;

    void addFile(const QString& fileName, const QSize& size, QIcon::Mode mode, QIcon::State state) override;
    QIconEngine* clone() const override;
};

// Hands Qt a CachedIconEngine for every icon made from a ".png" file. Registered in the program itself
// (Q_IMPORT_PLUGIN), not loaded from a plugin folder.
class CachedIconEnginePlugin : public QIconEnginePlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QIconEngineFactoryInterface_iid FILE "CachedIconEngine.json")

public:
    QIconEngine* create(const QString& fileName = QString()) override;
};
