#include "ExchangeOutput.h"

#include "DxfWriter.h"
#include "ExchangeError.h"
#include "JobFile.h"
#include "LabelWriter.h"
#include "PartImport.h"
#include "PdfOutput.h"
#include "SaveFile.h"
#include "SvgWriter.h"
#include "TableReader.h"
#include "TableWriter.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>

#include <memory>
#include <ostream>

namespace cli {

namespace {

QString FromLocal(const std::string &Path)
{
    return QFile::decodeName(Path.c_str());
}

// A name as a job file's NAME field carries it: one line, no surrounding blanks.
std::string RecordName(const QString &Name)
{
    QString n = Name;
    for (QChar &c : n)
        if (c.category() == QChar::Other_Control || c == u'\u2028' || c == u'\u2029')
            c = u' ';
    return n.trimmed().toStdString();
}

} // namespace

int WriteExchangeOutputs(TRectManage &Engine, const Job &J, const std::string &JobPath,
    const ExchangeOptions &Options, std::ostream &Err)
{
    // SVG texts and labels need fonts, and so an application object; the rest does not.
    const std::unique_ptr<QApplication> App
        = Options.SvgDir || Options.LabelsPath ? EnsureApplication() : nullptr;
    std::vector<TLayoutSheet> Layouts = LayoutsFromEngine(Engine);
    if (Options.DxfDir || Options.SvgDir)
        AddCutPlans(Layouts, Engine); // the drawings carry the saw's cuts on a layer of their own
    int Code = 0;
    auto Attempt = [&](const char *What, const auto &Write) {
        try {
            Write();
        } catch (const EExchangeError &E) {
            Err << "pnxcut: " << What << ": " << E.what() << "\n";
            Code = 1;
        }
    };
    if (Options.DxfDir)
        Attempt("--dxf", [&] { SaveIntoFolder(FromLocal(*Options.DxfDir), DxfFiles(Layouts)); });
    if (Options.SvgDir)
        Attempt("--svg", [&] { SaveIntoFolder(FromLocal(*Options.SvgDir), SvgFiles(Layouts)); });
    if (Options.CsvPath)
        Attempt("--csv",
            [&] { SaveBytes(FromLocal(*Options.CsvPath), CsvBytes(LayoutPartsTable(Layouts))); });
    if (Options.LabelsPath) {
        Attempt("--labels", [&] {
            // The job file's name stands for the project; the sizes are the job's as written.
            QList<TPartRow> Entered;
            for (const PartRow &P : J.Parts)
                Entered.append({ QString::fromStdString(P.Name), P.Length, P.Width, P.Quantity });
            const QString Project = QFileInfo(FromLocal(JobPath)).completeBaseName();
            const QList<TLabel> Labels = LabelsForLayouts(Layouts, Project, QString(), Entered);
            SaveBytes(FromLocal(*Options.LabelsPath), LabelsPdf(Labels, LabelSettingsFromApp()));
        });
    }
    return Code;
}

int ConvertPartList(const std::string &Path, std::ostream &Out, std::ostream &Err)
{
    QFile File(FromLocal(Path));
    if (!File.open(QIODevice::ReadOnly)) {
        Err << "pnxcut: cannot read " << Path << ": " << File.errorString().toStdString() << "\n";
        return 2;
    }
    const TReadOutcome Read = ReadTableFile(File, File.fileName());
    if (!Read.Ok) {
        Err << "pnxcut: " << Path << ": " << Read.Error.toStdString() << "\n";
        return 2;
    }
    const TImportTarget Target = ImportTargets::PartList();
    const TImportOutcome Outcome
        = ConvertRows(Read.Table, Target, GuessMapping(Read.Table, Target));
    if (!Outcome.ok()) {
        for (const TImportProblem &P : Outcome.Problems)
            Err << "pnxcut: " << Path << ": " << P.text().toStdString() << "\n";
        return 2;
    }
    for (const TPartRow &P : ToPartRows(Outcome, Target)) {
        Out << "part " << P.Length << ' ' << P.Width << ' ' << P.Quantity;
        const std::string Name = RecordName(P.Name);
        if (!Name.empty())
            Out << ' ' << Name;
        Out << '\n';
    }
    Out.flush();
    return Out ? 0 : 1;
}

} // namespace cli
