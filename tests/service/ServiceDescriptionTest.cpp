#include "service/ServiceDescription.h"
#include "service/SoapErrors.h"
#include "tests/service/SoapTestSupport.h"

#include <gtest/gtest.h>

namespace sarn {
namespace {

using testing::FixtureBytes;
using testing::kTestNamespace;

ServiceDescription Load(const QString& name, QStringList* fetched = nullptr) {
    return ServiceDescription(QStringLiteral(SARN_SOAP_TEST_DATA "/") + name,
                              std::make_unique<WsdlDocument>(FixtureBytes(name)),
                              [fetched](const QString& location) {
                                  if (fetched) {
                                      *fetched << location;
                                  }
                                  QFile file(location);
                                  if (!file.open(QIODevice::ReadOnly)) {
                                      throw MessageError(file.errorString());
                                  }
                                  return file.readAll();
                              });
}

TEST(ServiceDescriptionTest, AsmxDescriptionGivesActionAddressAndNoBodyNamespace) {
    ServiceDescription d = Load(QStringLiteral("sarn.wsdl"));
    const auto login = d.LookupOperation(QStringLiteral("sarn"), QStringLiteral("sarnSoap"),
                                         QStringLiteral("Login"));
    EXPECT_TRUE(login.bindingFound);
    EXPECT_EQ(login.soapAction, kTestNamespace + QStringLiteral("/Login"));
    EXPECT_TRUE(login.inputNamespace.isEmpty());
    EXPECT_EQ(d.LookupAddress(QStringLiteral("sarn"), QStringLiteral("sarnSoap")),
              QStringLiteral("http://@HOST@/SarnWebService/sarn.asmx"));
    // The soap12 port has only a soap12 address, which is not a SOAP 1.1 one.
    EXPECT_EQ(d.LookupAddress(QStringLiteral("sarn"), QStringLiteral("sarnSoap12")), std::nullopt);
    EXPECT_FALSE(d.LookupOperation(QStringLiteral("SARN"), QStringLiteral("sarnSoap"),
                                   QStringLiteral("Login"))
                     .bindingFound)
        << "names compare with letter case";
}

TEST(ServiceDescriptionTest, ImportIsReadOnlyWhenTheMainDocumentLacksTheBinding) {
    QStringList fetched;
    ServiceDescription d = Load(QStringLiteral("sarn-import-main.wsdl"), &fetched);
    EXPECT_EQ(d.LookupAddress(QStringLiteral("sarn"), QStringLiteral("sarnSoap")),
              QStringLiteral("http://@HOST@/SarnWebService/sarn.asmx"));
    EXPECT_EQ(d.LookupOperation(QStringLiteral("sarn"), QStringLiteral("sarnSoap"),
                                QStringLiteral("GetNews"))
                  .soapAction,
              kTestNamespace + QStringLiteral("/GetNews"));
    EXPECT_EQ(fetched,
              QStringList{QStringLiteral(SARN_SOAP_TEST_DATA "/sarn-import-binding.wsdl")});

    QStringList none;
    Load(QStringLiteral("sarn.wsdl"), &none)
        .LookupAddress(QStringLiteral("sarn"), QStringLiteral("sarnSoap"));
    EXPECT_TRUE(none.isEmpty());
}

TEST(ServiceDescriptionTest, BindingReferenceMatchesByNamespaceNotPrefix) {
    const auto description = [](const QByteArray& portBinding,
                                const QByteArray& declarations) -> QByteArray {
        return "<definitions xmlns=\"http://schemas.xmlsoap.org/wsdl/\" "
               "xmlns:soap=\"http://schemas.xmlsoap.org/wsdl/soap/\" targetNamespace=\"urn:t\" " +
               declarations +
               "><binding name=\"b\"><operation name=\"Op\"><soap:operation soapAction=\"A\"/>"
               "<input><soap:body use=\"encoded\" namespace=\"urn:body\"/></input></operation>"
               "</binding><service name=\"s\"><port name=\"p\" binding=\"" +
               portBinding +
               "\"><soap:address location=\"http://h/\"/></port></service></definitions>";
    };
    struct Row {
        const char* name;
        QByteArray binding, declarations;
        bool found;
    };
    const std::vector<Row> rows{
        {"no prefix is the target namespace", "b", "", true},
        {"another prefix for the same namespace", "x:b", "xmlns:x=\"urn:t\"", true},
        {"a prefix for another namespace", "y:b", "xmlns:y=\"urn:other\"", false},
        {"another local name", "x:c", "xmlns:x=\"urn:t\"", false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ServiceDescription d(
            QStringLiteral("mem"),
            std::make_unique<WsdlDocument>(description(row.binding, row.declarations)),
            [](const QString&) -> QByteArray { throw MessageError(QString()); });
        const auto op =
            d.LookupOperation(QStringLiteral("s"), QStringLiteral("p"), QStringLiteral("Op"));
        EXPECT_EQ(op.bindingFound, row.found);
        if (row.found) {
            EXPECT_EQ(op.soapAction, QStringLiteral("A"));
            EXPECT_EQ(op.inputNamespace, QStringLiteral("urn:body"));
        }
    }
}

}  // namespace
}  // namespace sarn
