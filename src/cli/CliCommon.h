#pragma once
// Shared pieces of the command-line converter: exit codes, output streams, catalog loading.

#include <QString>
#include <QStringList>
#include <memory>

namespace tv {

class CatalogTable;

enum ExitCode : int { ExitOk = 0, ExitSomeFailed = 1, ExitUsage = 2, ExitInterrupted = 130 };

void PrintOut(const QString &text);   // standard output, UTF-8, as given
void PrintError(const QString &text); // standard error, one line

// The shipped catalogs plus the user's own presets, as the window loads them.
struct Catalogs {
    std::unique_ptr<CatalogTable> formats;
    std::unique_ptr<CatalogTable> presets;
    std::unique_ptr<CatalogTable> favorites;
    QString problem; // "" or why the shipped catalogs cannot be used (nothing else is loaded then)
};
Catalogs LoadCatalogsForCli();

// Subcommands; each takes its arguments after the subcommand name.
int ListPresetsCommand(const QStringList &arguments);
int InfoCommand(const QStringList &arguments);
int ConvertCommand(const QStringList &arguments);
int RipCommand(const QStringList &arguments);
int BurnCommand(const QStringList &arguments);

} // namespace tv
