#pragma once
// A choice of brick that gives one link on every port: a test's own brick
// reached as PB(). The tower checks are the link's; ComPortNo reads back the
// port put into it.
//
//   RcxLink link{tower};
//   LinkPorts ports{link};
//   App().Ports = &ports;
#include "link/protocol/RcxLink.h"

class LinkPorts : public IPortSelector {
public:
    explicit LinkPorts(RcxLink& link) : mLink(link) {}

    void setEventSink(IPhantomEvents* sink) override { mLink.setEventSink(sink); }
    Long ComPortNo() override { return mPort; }
    void setComPortNo(Long port) override { mPort = port; }
    bool TowerCheck1() override { return mLink.TowerCheck1(); }
    bool TowerCheck2() override { return mLink.TowerCheck2(); }
    bool TowerCheck3() override { return mLink.TowerCheck3(); }
    IBrickDevice& device() override { return mLink; }

private:
    RcxLink& mLink;
    Long mPort = 0;
};
