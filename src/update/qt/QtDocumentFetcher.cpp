#include "update/qt/QtDocumentFetcher.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>
#include <memory>

namespace lumatag {

namespace {

std::u16string FromQt(const QString& text) {
  return {reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())};
}

Status StatusOfReply(QNetworkReply::NetworkError error) {
  switch (error) {
    case QNetworkReply::ConnectionRefusedError:
      return E_CONNECTION_REFUSED;
    case QNetworkReply::HostNotFoundError:
      return E_HOST_NOT_FOUND;
    case QNetworkReply::TimeoutError:
    case QNetworkReply::OperationCanceledError:
      return E_TRANSFER_TIMEOUT;
    case QNetworkReply::ContentNotFoundError:
    case QNetworkReply::ContentGoneError:
      return E_FILE_NOT_FOUND;
    case QNetworkReply::ContentAccessDenied:
    case QNetworkReply::AuthenticationRequiredError:
      return E_ACCESS_DENIED;
    default:
      return E_FAIL;
  }
}

// Clears the busy state however the wait ends.
class BusyScope {
 public:
  explicit BusyScope(const std::function<void(bool)>& hook) : hook_(hook) {
    if (hook_) hook_(true);
  }
  ~BusyScope() {
    if (hook_) hook_(false);
  }
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;

 private:
  const std::function<void(bool)>& hook_;
};

}  // namespace

Status QtDocumentFetcher::Fetch(std::u16string_view url, std::size_t maxBytes, std::string* body,
                                FetchFailure* failure) {
  body->clear();
  failure->text.clear();
  if (QCoreApplication::instance() == nullptr) return E_UNEXPECTED;
  const QUrl address(QString::fromUtf16(url.data(), static_cast<qsizetype>(url.size())));
  const QString scheme = address.scheme().toLower();
  if (!address.isValid() || (scheme != u"http" && scheme != u"https")) {
    failure->text =
        FromQt(QCoreApplication::translate("QNetworkReply", "Protocol \"%1\" is unknown")
                   .arg(address.scheme()));
    return E_INVALIDARG;
  }

  QNetworkAccessManager manager;
  QNetworkRequest request(address);
  request.setTransferTimeout(transferTimeoutMs_);
  request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                       QNetworkRequest::NoLessSafeRedirectPolicy);
  QNetworkReply* reply = manager.get(request);
  reply->setParent(nullptr);
  const std::unique_ptr<QNetworkReply> owner(reply);

  bool tooLarge = false;
  const auto take = [&] {
    if (!reply->isOpen()) return;
    const QByteArray data = reply->readAll();
    if (body->size() + static_cast<std::size_t>(data.size()) > maxBytes) {
      tooLarge = true;
      reply->abort();
      return;
    }
    body->append(data.constData(), static_cast<std::size_t>(data.size()));
  };

  // A server that sends a byte now and then never trips the transfer timeout; the whole transfer
  // is given four times as long.
  bool overDeadline = false;
  QTimer deadline;
  deadline.setSingleShot(true);
  QObject::connect(&deadline, &QTimer::timeout, reply, [&] {
    overDeadline = true;
    reply->abort();
  });

  QEventLoop loop;
  QObject::connect(reply, &QNetworkReply::readyRead, &loop, [&] {
    if (!tooLarge) take();
  });
  QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
  {
    const BusyScope busy(busy_);
    deadline.start(transferTimeoutMs_ > 0 ? 4 * transferTimeoutMs_ : 60000);
    if (!reply->isFinished()) loop.exec(QEventLoop::ExcludeUserInputEvents);
    deadline.stop();
  }
  if (!tooLarge && !overDeadline) take();
  if (tooLarge) {
    body->clear();
    return E_DOCUMENT_TOO_LARGE;
  }
  if (overDeadline) {
    failure->text = FromQt(reply->errorString());
    body->clear();
    return E_TRANSFER_TIMEOUT;
  }
  if (reply->error() != QNetworkReply::NoError) {
    failure->text = FromQt(reply->errorString());
    body->clear();
    return StatusOfReply(reply->error());
  }
  return S_OK;
}

}  // namespace lumatag
