#pragma once

#include <QAbstractButton>
#include <QImage>
#include <qcorotask.h>

// A picture cropped to a rounded square, ringed in the brand colour when
// selected; a quiet square until its picture is read, or when it can't be.
class PictureThumb : public QAbstractButton
{
    Q_OBJECT

public:
    PictureThumb(const QString &path, int size, QWidget *parent = nullptr);

    // The picture at path shrunk as it is read, to cover a square of side
    // pixels; read on a worker thread. Null when it isn't a picture.
    static QCoro::Task<QImage> read(QString path, int side);

    const QString &path() const { return m_path; }
    void setImage(const QImage &image);
    bool isLoaded() const { return m_loaded; }
    void setSelected(bool selected);
    bool isSelected() const { return m_selected; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_path;
    QImage m_image;
    bool m_loaded = false;
    bool m_selected = false;
};
