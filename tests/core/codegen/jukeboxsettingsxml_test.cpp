#include "codegen/generators.h"
#include "testfolders.h"

#include <QFile>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

using namespace tmbr::codegen;
using namespace tmbr::testing;

namespace {

struct ParsedTrack {
    std::string display;
    std::string url;
};

struct ParsedSettings {
    std::vector<std::string> options; // texts of AM to AR, in file order
    std::vector<ParsedTrack> tracks; // display and url of each <audio>
    std::string error; // the parser's complaint, empty when well-formed
};

ParsedSettings parse(const std::string& path)
{
    ParsedSettings parsed;
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly)) {
        parsed.error = "cannot open " + path;
        return parsed;
    }
    QXmlStreamReader reader(&file);
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QString name = reader.name().toString();
        if (name == "audio") {
            const auto attributes = reader.attributes();
            parsed.tracks.push_back({ attributes.value("display").toString().toStdString(),
                attributes.value("url").toString().toStdString() });
        } else if (name.size() == 2 && name >= "AM" && name <= "AR") {
            parsed.options.push_back(reader.readElementText().toStdString());
        }
    }
    if (reader.hasError())
        parsed.error = reader.errorString().toStdString();
    return parsed;
}

std::string percentDecoded(const std::string& url)
{
    std::string out;
    for (std::size_t i = 0; i < url.size(); ++i) {
        if (url[i] == '%' && i + 2 < url.size() && std::isxdigit(static_cast<unsigned char>(url[i + 1]))
            && std::isxdigit(static_cast<unsigned char>(url[i + 2]))) {
            out += static_cast<char>(std::stoi(url.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            out += url[i];
        }
    }
    return out;
}

} // namespace

TEST(JukeboxSettingsXml, EveryGeneratedCopyParsesBackToTheNamesAndUrlsThatWentIn)
{
    TempFolder temp;
    const AppFolders folders { temp.path() + "app/", temp.path() + "scratch/" };
    makeAppFolder(folders.app, {}, { "mjb_300200_chameleon" });
    const std::string music = temp.folder("music");
    const std::vector<std::string> files
        = { "Rock & Roll.mp3", "<intro> \"live\".mp3", "café 100% #1?.mp3", "plain.mp3" };
    for (const std::string& file : files)
        writeBytes(music + file, "mp3 " + file);

    GeneratorSettings settings;
    settings.multiPlayer = "mjb_300200_chameleon";
    ASSERT_TRUE(chooseJukeboxFiles(settings, music, files));
    settings.mp3FileDisplayNames
        = { "Tom & Jerry <live>", "\"Quoted\" & 'single' > all", "Ünïcödé ✓ 😀", "plain" };
    setServerPathMultiPlayer(settings, "https://example.com/a&b/");
    settings.serverPathMultiMp3 = "https://example.com/audio files/";
    settings.playerColorMulti = "0xABCDEF";
    settings.audioLevel = "7<5&";
    settings.multiAutoPlay = true;
    chooseJukeboxOutputFolder(settings, temp.folder("site"));

    const GenerationResult result = generateJukebox(settings, folders, [] { return TimeOfDay { 1, 2, 3 }; });
    ASSERT_EQ(result.status, GenerationStatus::Generated) << result.message;
    writeJukeboxPreviewSettings(folders, "0xABCDEF");

    const std::vector<std::string> expectedOptions = { "Yes", "Yes", "No", "7<5&", "No", "0xABCDEF" };
    const std::vector<std::pair<std::string, std::string>> copies = {
        { folders.scratch + "settings_as.xml", settings.multiOutDir },
        { settings.multiOutDir + "settings_as.xml", settings.serverPathMultiMp3 },
    };
    for (const auto& [path, prefix] : copies) {
        SCOPED_TRACE(path);
        const ParsedSettings parsed = parse(path);
        ASSERT_EQ(parsed.error, "");
        EXPECT_EQ(parsed.options, expectedOptions);
        ASSERT_EQ(parsed.tracks.size(), files.size());
        for (std::size_t i = 0; i < files.size(); ++i) {
            EXPECT_EQ(parsed.tracks[i].display, settings.mp3FileDisplayNames[i]);
            EXPECT_EQ(percentDecoded(parsed.tracks[i].url), prefix + files[i]);
        }
    }

    const ParsedSettings preview = parse(folders.app + "jukeboxplayers/settings_as.xml");
    ASSERT_EQ(preview.error, "");
    EXPECT_EQ(preview.options, (std::vector<std::string> { "Yes", "Yes", "No", "50", "No", "0xABCDEF" }));
    ASSERT_EQ(preview.tracks.size(), 15U);
    EXPECT_EQ(preview.tracks[14].display, "Sample Track-15(Audio will not play)");
    EXPECT_EQ(preview.tracks[14].url, "x.mp3");
}
