#pragma once
// A set of named parameters that a plug-in fills before and after opening or
// before saving. The plug-ins here need none, but the calls are made as the
// interface requires, so a plug-in with options can use it.

#include <QList>
#include <QPair>
#include <QString>
#include <QVariant>

class ParamSet {
public:
    bool isEmpty() const { return m_params.isEmpty(); }
    int size() const { return int(m_params.size()); }

    void set(const QString& name, const QVariant& value)
    {
        for (auto& p : m_params)
            if (p.first == name) {
                p.second = value;
                return;
            }
        m_params.append({name, value});
    }

    QVariant value(const QString& name, const QVariant& fallback = {}) const
    {
        for (const auto& p : m_params)
            if (p.first == name)
                return p.second;
        return fallback;
    }

private:
    QList<QPair<QString, QVariant>> m_params;
};
