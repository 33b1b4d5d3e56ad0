// Decodes the GBK texts of many list rows at once. Building one decoder per
// text (as FromGbk does) costs more than the decoding itself when a list of
// 50 000 records is filled; one stateless decoder gives the same texts.
#pragma once

#include <QStringDecoder>
#include <QStringList>
#include <string>

class GbkRowDecoder {
  public:
    QString operator()(const std::string& bytes) {
        if (bytes.empty()) return {};
        return decoder_.decode(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
    }

  private:
    QStringDecoder decoder_{"GBK", QStringConverter::Flag::Stateless};
};
